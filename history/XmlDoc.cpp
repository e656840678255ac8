#include "history/XmlDoc.h"

#include "platform/FileSync.h"

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// Keeps comments, processing instructions and the declaration of a loaded file, so that a save
// writes back what was read; whitespace-only text between elements is dropped.
constexpr unsigned int loadOptions = pugi::parse_full;
constexpr unsigned int saveOptions = pugi::format_raw | pugi::format_no_declaration;

class ByteArrayWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QByteArray bytes;
};

pugi::xml_node requireNode(pugi::xml_node node)
{
    if (!node)
        throw XmlError("no such node");
    return node;
}

} // namespace

bool XmlDoc::Load(const QString& path)
{
    m_document.reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (!m_document.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), loadOptions)) {
        m_document.reset();
        return false;
    }
    m_path = path;
    return true;
}

void XmlDoc::AddDeclaration()
{
    pugi::xml_node declaration = m_document.prepend_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "no";
}

pugi::xml_node XmlDoc::RootElement()
{
    if (pugi::xml_node root = m_document.document_element())
        return root;
    return requireNode(m_document.append_child("corvane"));
}

pugi::xml_node XmlDoc::GetOrAddChild(pugi::xml_node parent, const char* name)
{
    if (pugi::xml_node child = requireNode(parent).child(name))
        return child;
    return requireNode(parent.append_child(name));
}

QString XmlDoc::ReadText(pugi::xml_node element, const QString& defaultText)
{
    const QString text = QString::fromUtf8(requireNode(element).text().get());
    if (text.isEmpty() && !defaultText.isEmpty()) {
        WriteText(element, defaultText);
        return defaultText;
    }
    return text;
}

void XmlDoc::WriteText(pugi::xml_node element, const QString& text)
{
    requireNode(element).remove_children();
    if (text.isEmpty())
        return;
    const QByteArray utf8 = text.toUtf8();
    if (!element.append_child(pugi::node_pcdata).set_value(utf8.constData()))
        throw XmlError("cannot write text");
}

qint32 XmlDoc::ReadInt(pugi::xml_node element, qint32 defaultValue)
{
    const char* text = requireNode(element).text().get();
    if (*text == '\0') {
        WriteInt(element, defaultValue);
        return defaultValue;
    }
    const long long value = std::strtoll(text, nullptr, 10);
    return static_cast<qint32>(
        std::clamp<long long>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

void XmlDoc::WriteInt(pugi::xml_node element, qint32 value)
{
    WriteText(element, QString::number(value));
}

bool XmlDoc::ReadBool(pugi::xml_node element, bool defaultValue)
{
    const QString text = ReadText(element);
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    WriteBool(element, defaultValue);
    return defaultValue;
}

void XmlDoc::WriteBool(pugi::xml_node element, bool value)
{
    WriteText(element, value ? QStringLiteral("true") : QStringLiteral("false"));
}

bool XmlDoc::Save(const QString& path)
{
    const QString target = path.isEmpty() ? m_path : path;
    if (target.isEmpty())
        return false;
    ByteArrayWriter writer;
    m_document.save(writer, "", saveOptions, pugi::encoding_utf8);
    if (!WriteWholeFile(target, writer.bytes))
        return false;
    m_path = target;
    return true;
}
