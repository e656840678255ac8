// Feeds arbitrary texts, as Skype could send them, through the link: the chat auto-reply and
// the notification parser, with their tables, the command queue and the owner's events. Each
// input is a fresh link attached through the in-process transport; its lines are the texts, in
// order, so that texts can build on each other (a call's status, then its partner ...).

#include "settings/CGeneralProfile.h"
#include "skype/InProcessSkypeTransport.h"
#include "skype/SkypeLink.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>

namespace {
QTemporaryDir* home = nullptr;
QCoreApplication* application = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // The settings profile must never touch the real home.
    home = new QTemporaryDir;
    qputenv("HOME", home->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(home->path()).filePath(QStringLiteral(".config")).toUtf8());
    application = new QCoreApplication(*argc, *argv);
    CGeneralProfile& settings = CGeneralProfile::Instance();
    settings.chatreply = true;
    settings.onlinereply = true;
    settings.notonlinereply = true;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QObject owner;
    auto transport = std::make_unique<InProcessSkypeTransport>();
    InProcessSkypeTransport& skype = *transport;
    if (!SkypeLink::StartLink(&owner, std::move(transport)))
        return 0;
    skype.attach(SKYPE_ATTACH_SUCCESS);

    const QByteArrayList lines =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)).split('\n');
    for (const QByteArray& line : lines)
        skype.send(QString::fromUtf8(line));

    // What the other parts of the program read from the link afterwards.
    SkypeLink& link = SkypeLink::LinkInstance();
    const QString last = QString::fromUtf8(lines.last());
    SkypeLink::ReissueAudioRedirect();
    static_cast<void>(link.callTable().EarliestActiveCall());
    static_cast<void>(link.callPartnerMap().PartnersForCalls(last));
    static_cast<void>(link.contactDirectory().DisplayNamesFor(last));
    for (int slot = 0; slot < CallTable::SlotCount; ++slot)
        static_cast<void>(link.callTable().PartnerOf(link.callTable().CallIdAt(slot)));
    link.ResetCallState();
    SkypeLink::ShutdownLink();
    return 0;
}
