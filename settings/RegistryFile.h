#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

// The contents of the settings file: keys holding named, typed values, in the order they were
// first written. Key and value names are matched without regard to case and keep the case they
// were written with.
//
// The file is UTF-8 text in the manner of a registry export:
//
//   ; comment
//   [software\Marrowick\config]
//   "replytxt"="/me is not available for chat."
//   "recside"=dword:00000002
//   "autostart"=hex:01
//
// A text is written between double quotes with the escapes \\ \" \n \r \t and \uXXXX (four hex
// digits, used for the other control characters); a number as dword: followed by exactly eight
// hex digits; binary data as hex: followed by its bytes as two hex digits each, separated by
// commas (nothing after the colon for no bytes). Names are quoted like texts.
class RegistryFile {
public:
    enum class Type { Text, Number, Binary };
    struct Value {
        Type type = Type::Text;
        QString text;
        quint32 number = 0;
        QByteArray binary;

        static Value fromText(const QString& text);
        static Value fromNumber(quint32 number);
        static Value fromBinary(const QByteArray& binary);
        bool operator==(const Value& other) const = default;
    };

    // Reads what can be understood; a line that cannot be understood is left out and marks the
    // contents as damaged, the other lines keep their values.
    static RegistryFile parse(const QByteArray& bytes);
    QByteArray format() const;

    bool isDamaged() const { return m_damaged; }
    void setDamaged(bool damaged = true) { m_damaged = damaged; }

    bool hasKey(const QString& key) const;
    void addKey(const QString& key);
    // nullptr when the key or the value is missing.
    const Value* value(const QString& key, const QString& name) const;
    // False when the key does not exist.
    bool setValue(const QString& key, const QString& name, const Value& value);
    bool removeValue(const QString& key, const QString& name);

private:
    struct Entry {
        QString name;
        Value value;
    };
    struct Key {
        QString name;
        QList<Entry> entries;
    };

    Key* findKey(const QString& key);
    const Key* findKey(const QString& key) const;
    bool parseLine(QStringView line, Key*& current);

    QList<Key> m_keys;
    bool m_damaged = false;
};
