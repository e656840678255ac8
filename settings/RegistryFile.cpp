#include "settings/RegistryFile.h"

#include <optional>

namespace {

const char header[] = "; Tallowin Skype Recorder settings.\n"
                      "; Texts are quoted (escapes \\\\ \\\" \\n \\r \\t \\uXXXX), numbers are dword:<8 hex digits>,\n"
                      "; binary values are hex:<bytes as two hex digits, separated by commas>.\n";

bool sameName(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

std::optional<quint32> parseHex(QStringView digits)
{
    quint32 result = 0;
    for (QChar c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        result = result * 16 + quint32(digit);
    }
    return result;
}

QString quoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += u"\\\\";
            break;
        case '"':
            out += u"\\\"";
            break;
        case '\n':
            out += u"\\n";
            break;
        case '\r':
            out += u"\\r";
            break;
        case '\t':
            out += u"\\t";
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

// Reads a quoted text starting at line[pos]; on success pos is just past the closing quote.
std::optional<QString> unquoted(QStringView line, qsizetype& pos)
{
    if (pos >= line.size() || line[pos] != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size())
            return std::nullopt;
        switch (line[pos].unicode()) {
        case '\\':
            out += u'\\';
            break;
        case '"':
            out += u'"';
            break;
        case 'n':
            out += u'\n';
            break;
        case 'r':
            out += u'\r';
            break;
        case 't':
            out += u'\t';
            break;
        case 'u': {
            const QStringView digits = line.mid(pos + 1, 4);
            const std::optional<quint32> code = parseHex(digits);
            if (digits.size() != 4 || !code)
                return std::nullopt;
            out += QChar(char16_t(*code));
            pos += 4;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void skipSpaces(QStringView line, qsizetype& pos)
{
    while (pos < line.size() && line[pos].isSpace())
        ++pos;
}

std::optional<QByteArray> parseBytes(QStringView list)
{
    QByteArray bytes;
    if (list.isEmpty())
        return bytes;
    for (QStringView item : list.split(u',')) {
        item = item.trimmed();
        const std::optional<quint32> byte = parseHex(item);
        if (item.size() != 2 || !byte)
            return std::nullopt;
        bytes += char(*byte);
    }
    return bytes;
}

std::optional<RegistryFile::Value> parseValue(QStringView data)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        std::optional<QString> text = unquoted(data, pos);
        if (!text || pos != data.size())
            return std::nullopt;
        return RegistryFile::Value::fromText(*text);
    }
    if (data.startsWith(u"dword:")) {
        const QStringView digits = data.mid(6);
        const std::optional<quint32> number = parseHex(digits);
        if (digits.size() != 8 || !number)
            return std::nullopt;
        return RegistryFile::Value::fromNumber(*number);
    }
    if (data.startsWith(u"hex:")) {
        const std::optional<QByteArray> bytes = parseBytes(data.mid(4));
        if (!bytes)
            return std::nullopt;
        return RegistryFile::Value::fromBinary(*bytes);
    }
    return std::nullopt;
}

QString formatValue(const RegistryFile::Value& value)
{
    switch (value.type) {
    case RegistryFile::Type::Text:
        return quoted(value.text);
    case RegistryFile::Type::Number:
        return QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
    case RegistryFile::Type::Binary:
        return QStringLiteral("hex:") + QString::fromLatin1(value.binary.toHex(','));
    }
    return {};
}

} // namespace

RegistryFile::Value RegistryFile::Value::fromText(const QString& text)
{
    return {Type::Text, text, 0, {}};
}

RegistryFile::Value RegistryFile::Value::fromNumber(quint32 number)
{
    return {Type::Number, {}, number, {}};
}

RegistryFile::Value RegistryFile::Value::fromBinary(const QByteArray& binary)
{
    return {Type::Binary, {}, 0, binary};
}

RegistryFile RegistryFile::parse(const QByteArray& bytes)
{
    RegistryFile file;
    const QString text = QString::fromUtf8(bytes);
    Key* current = nullptr;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (!file.parseLine(line.trimmed(), current))
            file.m_damaged = true;
    }
    return file;
}

bool RegistryFile::parseLine(QStringView line, Key*& current)
{
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
        return true;
    if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
        const QString key = line.mid(1, line.size() - 2).toString();
        addKey(key);
        current = findKey(key);
        return true;
    }
    qsizetype pos = 0;
    const std::optional<QString> name = unquoted(line, pos);
    skipSpaces(line, pos);
    if (!current || !name || pos >= line.size() || line[pos] != u'=')
        return false;
    ++pos;
    skipSpaces(line, pos);
    const std::optional<Value> value = parseValue(line.mid(pos));
    if (!value)
        return false;
    return setValue(current->name, *name, *value);
}

QByteArray RegistryFile::format() const
{
    QString out = QString::fromLatin1(header);
    for (const Key& key : m_keys) {
        out += QStringLiteral("\n[%1]\n").arg(key.name);
        for (const Entry& entry : key.entries)
            out += quoted(entry.name) + u'=' + formatValue(entry.value) + u'\n';
    }
    return out.toUtf8();
}

RegistryFile::Key* RegistryFile::findKey(const QString& key)
{
    for (Key& k : m_keys) {
        if (sameName(k.name, key))
            return &k;
    }
    return nullptr;
}

const RegistryFile::Key* RegistryFile::findKey(const QString& key) const
{
    return const_cast<RegistryFile*>(this)->findKey(key);
}

bool RegistryFile::hasKey(const QString& key) const
{
    return findKey(key) != nullptr;
}

void RegistryFile::addKey(const QString& key)
{
    if (!hasKey(key))
        m_keys.append({key, {}});
}

const RegistryFile::Value* RegistryFile::value(const QString& key, const QString& name) const
{
    const Key* k = findKey(key);
    if (!k)
        return nullptr;
    for (const Entry& entry : k->entries) {
        if (sameName(entry.name, name))
            return &entry.value;
    }
    return nullptr;
}

bool RegistryFile::setValue(const QString& key, const QString& name, const Value& value)
{
    Key* k = findKey(key);
    if (!k)
        return false;
    for (Entry& entry : k->entries) {
        if (sameName(entry.name, name)) {
            entry.value = value;
            return true;
        }
    }
    k->entries.append({name, value});
    return true;
}

bool RegistryFile::removeValue(const QString& key, const QString& name)
{
    Key* k = findKey(key);
    if (!k)
        return false;
    return k->entries.removeIf([&](const Entry& entry) { return sameName(entry.name, name); }) > 0;
}
