#include "settings/CGeneralProfile.h"

#include "platform/AppPaths.h"

#include <array>

namespace {
std::unique_ptr<CGeneralProfile> instance;

constexpr std::array<int, 6> bitrates = {32, 64, 96, 128, 192, 256};
constexpr std::array<int, 4> sampleRates = {16000, 32000, 44100, 48000};

template <std::size_t N> int lookUp(const std::array<int, N>& table, int index)
{
    return index >= 0 && std::size_t(index) < N ? table[std::size_t(index)] : 0;
}
} // namespace

CGeneralProfile::CGeneralProfile() : CGeneralProfile(RegistryBackend::createDefault()) {}

CGeneralProfile::CGeneralProfile(std::unique_ptr<RegistryBackend> backend) : CProfileBase(std::move(backend))
{
    Defaults();
}

CGeneralProfile& CGeneralProfile::Instance()
{
    if (!instance)
        instance = std::make_unique<CGeneralProfile>();
    return *instance;
}

bool CGeneralProfile::InstanceExists()
{
    return instance != nullptr;
}

void CGeneralProfile::DestroyInstance()
{
    instance.reset();
}

template <typename Visitor> void CGeneralProfile::forEachSetting(Visitor&& visit)
{
    visit(QStringLiteral("autostart"), autostart);
    visit(QStringLiteral("notifycov"), notifycov);
    visit(QStringLiteral("notifyfinish"), notifyfinish);
    visit(QStringLiteral("notifyhistory"), notifyhistory);
    visit(QStringLiteral("position"), position);
    visit(QStringLiteral("hispos"), hispos);
    visit(QStringLiteral("starthide"), starthide);
    visit(QStringLiteral("topmost"), topmost);
    visit(QStringLiteral("sticksky"), sticksky);
    visit(QStringLiteral("rectype"), rectype);
    visit(QStringLiteral("recside"), recside);
    visit(QStringLiteral("sfolder"), sfolder);
    visit(QStringLiteral("amode"), amode);
    visit(QStringLiteral("abitrate"), abitrate);
    visit(QStringLiteral("asample"), asample);
    visit(QStringLiteral("chatreply"), chatreply);
    visit(QStringLiteral("onlinereply"), onlinereply);
    visit(QStringLiteral("notonlinereply"), notonlinereply);
    visit(QStringLiteral("replytxt"), replytxt);
}

void CGeneralProfile::Save()
{
    if (!isModified())
        return;
    Batch batch(*this);
    forEachSetting([this](const QString& name, const auto& value) { save(name, value); });
}

void CGeneralProfile::Load()
{
    Batch batch(*this);
    forEachSetting([this](const QString& name, auto& value) { load(name, value); });
}

void CGeneralProfile::Defaults()
{
    autostart = false;
    notifycov = true;
    notifyfinish = true;
    notifyhistory = true;
    position.clear();
    hispos.clear();
    starthide = false;
    topmost = false;
    sticksky = false;
    rectype = true;
    recside = 0;
    sfolder = AppPaths::DefaultRecordingFolder();
    amode = 1;
    abitrate = 1;
    asample = 1;
    chatreply = true;
    onlinereply = false;
    notonlinereply = true;
    replytxt = QStringLiteral("/me is not available for chat.");
}

int CGeneralProfile::bitrateFromIndex(int abitrate)
{
    return lookUp(bitrates, abitrate);
}

int CGeneralProfile::sampleRateFromIndex(int asample)
{
    return lookUp(sampleRates, asample);
}

int CGeneralProfile::channelModeFromIndex(int amode)
{
    return amode == 1 || amode == 2 ? amode : 0;
}

QString CGeneralProfile::settingsKey() const
{
    return basePath() + QStringLiteral("config");
}

void CGeneralProfile::load(const QString& name, bool& value)
{
    value = readFlag(settingsKey(), name, value);
}

void CGeneralProfile::load(const QString& name, int& value)
{
    value = readNumber(settingsKey(), name, value);
}

void CGeneralProfile::load(const QString& name, QString& value)
{
    value = readText(settingsKey(), name, value);
}

void CGeneralProfile::save(const QString& name, bool value)
{
    writeFlag(settingsKey(), name, value);
}

void CGeneralProfile::save(const QString& name, int value)
{
    writeNumber(settingsKey(), name, value);
}

void CGeneralProfile::save(const QString& name, const QString& value)
{
    writeText(settingsKey(), name, value);
}
