#include "platform/ProductSite.h"

namespace ProductSite {

QString BaseAddress()
{
    const QString overridden = qEnvironmentVariable("TSR_SITE_URL");
    if (!overridden.isEmpty())
        return overridden.endsWith(QLatin1Char('/')) ? overridden : overridden + QLatin1Char('/');
    return QStringLiteral("https://www.tallowin.com/skype-recorder/");
}

QString VersionFile()
{
    return BaseAddress() + QStringLiteral("ver.ini");
}

QString NoticeFile()
{
    return BaseAddress() + QStringLiteral("notice.ini");
}

QString DownloadPage()
{
    return BaseAddress() + QStringLiteral("download.htm");
}

QString NoticePage()
{
    return BaseAddress() + QStringLiteral("news.htm");
}

QString IssuePage()
{
    return BaseAddress() + QStringLiteral("access-refused.htm");
}

QString SupportPage()
{
    return BaseAddress() + QStringLiteral("support.htm");
}

QString HelpPage()
{
    return BaseAddress() + QStringLiteral("help.htm");
}

} // namespace ProductSite
