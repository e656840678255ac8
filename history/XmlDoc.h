#pragma once

#include <QString>
#include <pugixml.hpp>
#include <stdexcept>

// Raised by the XmlDoc helpers when the document cannot be changed or read as asked, for
// example when a child element is wanted under a comment. The history store catches it.
class XmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document behind record.xml and the few helpers the history store reads and writes it
// with. Every element value is the element's text; the file is UTF-8 without indentation.
class XmlDoc {
public:
    // Parses the file. On failure the document is left empty (no declaration, no elements).
    bool Load(const QString& path);
    // Appends the declaration a new record.xml starts with.
    void AddDeclaration();

    // The document element; a new one named "corvane" when the document has none.
    pugi::xml_node RootElement();
    // The first child element of parent called name; a new empty one is appended when missing.
    static pugi::xml_node GetOrAddChild(pugi::xml_node parent, const char* name);

    // The element's text. When it is empty and defaultText is not, defaultText is written and returned.
    static QString ReadText(pugi::xml_node element, const QString& defaultText = {});
    static void WriteText(pugi::xml_node element, const QString& text);
    // Leading decimal digits of the text (junk reads 0); an empty text gets defaultValue written.
    static qint32 ReadInt(pugi::xml_node element, qint32 defaultValue);
    static void WriteInt(pugi::xml_node element, qint32 value);
    // "true"/"false" in any letter case; anything else gets defaultValue written back.
    static bool ReadBool(pugi::xml_node element, bool defaultValue);
    static void WriteBool(pugi::xml_node element, bool value);

    // Writes the whole document to path (empty: the path last loaded or saved) through a
    // temporary file in the same folder that replaces the old file only once completely
    // written, so a failed or interrupted save leaves the previous file whole.
    bool Save(const QString& path = {});

private:
    pugi::xml_document m_document;
    QString m_path;
};
