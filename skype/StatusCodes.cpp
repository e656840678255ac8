#include "skype/StatusCodes.h"

#include <QLatin1StringView>

#include <utility>

namespace {
template <std::size_t N> int lookUp(const std::pair<QLatin1StringView, int> (&table)[N], QStringView word)
{
    for (const auto& [name, code] : table) {
        if (word == name)
            return code;
    }
    return 0;
}
} // namespace

int callStatusCodeOf(QStringView word)
{
    static const std::pair<QLatin1StringView, int> table[] = {
        {QLatin1StringView("UNPLACED"), CallUnplaced},
        {QLatin1StringView("ROUTING"), CallRouting},
        {QLatin1StringView("EARLYMEDIA"), CallEarlyMedia},
        {QLatin1StringView("FAILED"), CallFailed},
        {QLatin1StringView("RINGING"), CallRinging},
        {QLatin1StringView("INPROGRESS"), CallInProgress},
        {QLatin1StringView("ONHOLD"), CallOnHold},
        {QLatin1StringView("LOCALHOLD"), CallOnHold},
        {QLatin1StringView("REMOTEHOLD"), CallOnHold},
        {QLatin1StringView("FINISHED"), CallFinished},
        {QLatin1StringView("MISSED"), CallMissed},
        {QLatin1StringView("REFUSED"), CallRefused},
        {QLatin1StringView("BUSY"), CallBusy},
        {QLatin1StringView("CANCELLED"), CallCancelled},
    };
    return lookUp(table, word);
}

int userStatusCodeOf(QStringView word)
{
    static const std::pair<QLatin1StringView, int> table[] = {
        {QLatin1StringView("LOGGEDOUT"), UserLoggedOut}, {QLatin1StringView("OFFLINE"), UserOffline},
        {QLatin1StringView("ONLINE"), UserOnline},       {QLatin1StringView("SKYPEME"), UserSkypeMe},
        {QLatin1StringView("AWAY"), UserAway},           {QLatin1StringView("NA"), UserNotAvailable},
        {QLatin1StringView("DND"), UserDoNotDisturb},    {QLatin1StringView("INVISIBLE"), UserInvisible},
    };
    return lookUp(table, word);
}
