#pragma once

#include <QString>

// The addresses of the product's web site, kept in one place. The base address can be pointed
// elsewhere with the environment variable TSR_SITE_URL (it must end with "/"), which is how the
// tests put a local server in its place.
namespace ProductSite {

QString BaseAddress();
QString VersionFile();  // BaseAddress() + "ver.ini"
QString NoticeFile();   // BaseAddress() + "notice.ini"
QString DownloadPage(); // BaseAddress() + "download.htm"
QString NoticePage();
QString IssuePage();
QString SupportPage();
QString HelpPage();

} // namespace ProductSite
