#include "update/CAutoUpdater.h"

#include "platform/MessageBoxService.h"
#include "platform/ProductName.h"
#include "platform/ProductSite.h"
#include "platform/Shell.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <utility>

namespace {

const QString programVersion = QStringLiteral("6.6.6");

// The text ends at the first zero byte.
QString textOf(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
}

CAutoUpdater::Result versionResult(const QString& published)
{
    const QString text = published.toLower();
    // A "<" means a web page (an error page, a captive portal) rather than a version.
    if (text.isEmpty() || text.contains(QLatin1Char('<')))
        return CAutoUpdater::NothingRead;
    return text.compare(programVersion, Qt::CaseInsensitive) == 0 ? CAutoUpdater::Done : CAutoUpdater::NewVersion;
}

} // namespace

CAutoUpdater::CAutoUpdater(QObject* owner, QObject* parent)
    : QObject(parent), m_owner(owner), m_manager(new QNetworkAccessManager(this))
{
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(StartDelayMs);
    connect(&m_startTimer, &QTimer::timeout, this, &CAutoUpdater::onStartTick);
    m_requestTimer.setSingleShot(true);
    connect(&m_requestTimer, &QTimer::timeout, this, &CAutoUpdater::onRequestTimeout);
}

CAutoUpdater::~CAutoUpdater()
{
    releaseReply();
}

void CAutoUpdater::start()
{
    if (!m_ran && !m_startTimer.isActive())
        m_startTimer.start();
}

void CAutoUpdater::onStartTick()
{
    m_startTimer.stop();
    if (m_ran)
        return;
    m_ran = true;
    Check(VersionCheck);
}

void CAutoUpdater::onRequestTimeout()
{
    // Whatever arrived of a reply that did not end in time is not trusted.
    if (m_reply)
        endRequest(CannotOpen);
}

void CAutoUpdater::Check(CheckKind kind)
{
    m_kind = kind;
    m_data.clear();
    const QUrl url(kind == VersionCheck ? ProductSite::VersionFile() : ProductSite::NoticeFile());
    if (!url.isValid()) {
        endRequest(CannotOpen);
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Update"));
    m_reply = m_manager->get(request);
    // Whatever a server sends beyond what is read stays on the server's side of the connection.
    m_reply->setReadBufferSize(MaxReadBytes);
    connect(m_reply, &QNetworkReply::readyRead, this, &CAutoUpdater::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &CAutoUpdater::onReplyFinished);
    m_requestTimer.start(m_timeLimitMs);
}

void CAutoUpdater::onReadyRead()
{
    m_data += m_reply->read(MaxReadBytes - m_data.size());
    if (m_data.size() >= MaxReadBytes)
        endRequest(outcome(m_reply));
}

void CAutoUpdater::onReplyFinished()
{
    m_data += m_reply->read(MaxReadBytes - m_data.size());
    endRequest(outcome(m_reply));
}

CAutoUpdater::Result CAutoUpdater::outcome(QNetworkReply* reply) const
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() >= 300))
        return CannotOpen;
    switch (reply->error()) {
    case QNetworkReply::NoError:
        return Done;
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
        return NoConnection;
    default:
        return CannotOpen;
    }
}

void CAutoUpdater::endRequest(Result transfer)
{
    m_requestTimer.stop();
    releaseReply();
    const QString text = textOf(m_data);
    if (transfer == Done && m_data.isEmpty())
        transfer = NothingRead;

    // A message box runs its own event loop, in which the program may end and take this
    // object with it.
    const QPointer<CAutoUpdater> alive(this);
    if (m_kind == VersionCheck) {
        m_results[VersionCheck] = transfer == Done ? versionResult(text) : transfer;
        if (m_results[VersionCheck] == NewVersion) {
            MessageBoxService::show({m_owner, productName(),
                                     QStringLiteral("New version is available! Click 'OK' to update Now!"),
                                     MessageIcon::Information, MessageButtons::Ok});
            if (!alive)
                return;
            Shell::instance().openUrl(ProductSite::DownloadPage());
        }
        Check(NoticeCheck);
        return;
    }

    m_results[NoticeCheck] = transfer;
    if (transfer == Done && text.startsWith(QLatin1Char('1'))) {
        const MessageResult answer = MessageBoxService::show(
            {nullptr, productName(), text.mid(1), MessageIcon::Information, MessageButtons::OkCancel});
        if (!alive)
            return;
        if (answer == MessageResult::Ok)
            Shell::instance().openUrl(ProductSite::NoticePage());
    }
    m_finished = true;
    emit finished();
}

void CAutoUpdater::releaseReply()
{
    if (!m_reply)
        return;
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}
