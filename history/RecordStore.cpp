#include "history/RecordStore.h"

#include "history/XmlDoc.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace {

std::unique_ptr<RecordStore>& instanceSlot()
{
    static std::unique_ptr<RecordStore> store;
    return store;
}

// "yyyyMMddHHmmss" in UTC, empty when the moment cannot be expressed.
QString utcStamp(qint64 seconds)
{
    const QDateTime moment = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return moment.isValid() ? moment.toString(QStringLiteral("yyyyMMddHHmmss")) : QString();
}

// The line breaks of a note are kept as a word, so that no line break ever appears in the file.
const QString lineBreak = QStringLiteral("\r\n");
const QString lineBreakWord = QStringLiteral("alinedd");

pugi::xml_node listElement(XmlDoc& document)
{
    return XmlDoc::GetOrAddChild(document.RootElement(), "list");
}

pugi::xml_node childAt(pugi::xml_node parent, int index)
{
    pugi::xml_node node = parent.first_child();
    for (int i = 0; node && i < index; ++i)
        node = node.next_sibling();
    return node;
}

// Only element children are records: a comment or stray text between records is passed over,
// so it cannot hide the records after it.
pugi::xml_node findRecord(XmlDoc& document, const QString& name, const QString& time)
{
    for (pugi::xml_node node : listElement(document).children()) {
        if (node.type() != pugi::node_element)
            continue;
        const QString n = XmlDoc::ReadText(XmlDoc::GetOrAddChild(node, "name"));
        const QString t = XmlDoc::ReadText(XmlDoc::GetOrAddChild(node, "time"));
        if (n.compare(name, Qt::CaseInsensitive) == 0 && t.compare(time, Qt::CaseInsensitive) == 0)
            return node;
    }
    return {};
}

// Runs one store operation; errors of the XML engine end it with the fallback result.
template <typename Result, typename Operation> Result guarded(Result fallback, Operation operation)
{
    try {
        return operation();
    } catch (const std::exception&) {
        return fallback;
    }
}

} // namespace

RecordStore& RecordStore::Instance()
{
    std::unique_ptr<RecordStore>& store = instanceSlot();
    if (!store)
        store.reset(new RecordStore);
    return *store;
}

void RecordStore::DestroyInstance()
{
    instanceSlot().reset();
}

RecordStore::RecordStore() = default;
RecordStore::~RecordStore() = default;

bool RecordStore::Open(const QString& path)
{
    std::lock_guard lock(m_lock);
    m_path = path;
    m_document.reset();
    m_setAside.clear();
    m_setAsidePending = false;
    if (path.isEmpty())
        return false;
    m_document = std::make_unique<XmlDoc>();
    if (!QFileInfo::exists(path)) {
        // The file itself is written by the first save.
        m_document->AddDeclaration();
        return true;
    }
    if (m_document->Load(path))
        return true;
    // The next save would replace the unreadable file and with it the history it may still
    // hold for someone to rescue, so it is kept under another name first.
    m_setAsidePending = true;
    setAside();
    return false;
}

int RecordStore::Count()
{
    std::lock_guard lock(m_lock);
    if (!m_document)
        return 0;
    return guarded(-1, [&] {
        const auto children = listElement(*m_document).children();
        return static_cast<int>(std::distance(children.begin(), children.end()));
    });
}

bool RecordStore::GetAt(int index, RecordEntry& entry)
{
    std::lock_guard lock(m_lock);
    if (!m_document || index < 0)
        return false;
    return guarded(false, [&] {
        const pugi::xml_node node = childAt(listElement(*m_document), index);
        // Read in this order so that elements missing from a record are added in this order.
        RecordEntry read;
        read.name = XmlDoc::ReadText(XmlDoc::GetOrAddChild(node, "name"));
        read.time = XmlDoc::ReadText(XmlDoc::GetOrAddChild(node, "time"));
        read.file = XmlDoc::ReadText(XmlDoc::GetOrAddChild(node, "file"));
        read.type = XmlDoc::ReadInt(XmlDoc::GetOrAddChild(node, "type"), 0);
        read.isNew = XmlDoc::ReadBool(XmlDoc::GetOrAddChild(node, "new"), false);
        read.duration = XmlDoc::ReadInt(XmlDoc::GetOrAddChild(node, "duration"), 0);
        read.note = XmlDoc::ReadText(XmlDoc::GetOrAddChild(node, "note")).replace(lineBreakWord, lineBreak);
        entry = read;
        return true;
    });
}

bool RecordStore::Add(const RecordEntry& entry)
{
    return changeAndSave([&] {
        if (findRecord(*m_document, entry.name, entry.time))
            return false;
        // Always a new element: two records appended within the same second share a name
        // and must still stay two records.
        const QByteArray element = "rec" + utcStamp(Clock::instance().nowSeconds()).toLatin1();
        const pugi::xml_node record = listElement(*m_document).append_child(element.constData());
        XmlDoc::WriteText(XmlDoc::GetOrAddChild(record, "name"), entry.name);
        XmlDoc::WriteText(XmlDoc::GetOrAddChild(record, "time"), entry.time);
        XmlDoc::WriteText(XmlDoc::GetOrAddChild(record, "file"), entry.file);
        XmlDoc::WriteInt(XmlDoc::GetOrAddChild(record, "type"), entry.type);
        XmlDoc::WriteInt(XmlDoc::GetOrAddChild(record, "duration"), entry.duration);
        XmlDoc::WriteBool(XmlDoc::GetOrAddChild(record, "new"), entry.isNew);
        XmlDoc::WriteText(XmlDoc::GetOrAddChild(record, "note"), QString(entry.note).replace(lineBreak, lineBreakWord));
        return true;
    });
}

bool RecordStore::Find(const QString& name, const QString& time)
{
    std::lock_guard lock(m_lock);
    if (!m_document)
        return false;
    return guarded(false, [&] { return !findRecord(*m_document, name, time).empty(); });
}

bool RecordStore::Remove(const QString& name, const QString& time)
{
    return changeAndSave([&] {
        const pugi::xml_node record = findRecord(*m_document, name, time);
        return record && record.parent().remove_child(record);
    });
}

bool RecordStore::MarkPlayed(const QString& name, const QString& time)
{
    return changeAndSave([&] {
        const pugi::xml_node record = findRecord(*m_document, name, time);
        if (record)
            XmlDoc::WriteBool(XmlDoc::GetOrAddChild(record, "new"), false);
        return !record.empty();
    });
}

// The file is written only after a change was made. A failed save leaves the change in
// memory; the next successful save writes it.
bool RecordStore::changeAndSave(const std::function<bool()>& change)
{
    std::lock_guard lock(m_lock);
    if (!m_document || !guarded(false, change))
        return false;
    save();
    return true;
}

bool RecordStore::save()
{
    if (m_setAsidePending && !setAside())
        return false;
    return guarded(false, [&] { return m_document->Save(m_path); });
}

bool RecordStore::setAside()
{
    if (!QFileInfo::exists(m_path)) {
        m_setAsidePending = false;
        return true;
    }
    const QString base = m_path + QStringLiteral(".corrupt-") + utcStamp(Clock::instance().nowSeconds());
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    if (!QFile::rename(m_path, candidate))
        return false;
    m_setAside = candidate;
    m_setAsidePending = false;
    return true;
}
