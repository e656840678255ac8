#include "support/LocalHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr qint64 chunkSize = 64 * 1024;

QByteArray statusLine(int status)
{
    QByteArray reason = "Error";
    if (status == 200)
        reason = "OK";
    else if (status == 404)
        reason = "Not Found";
    return "HTTP/1.1 " + QByteArray::number(status) + " " + reason + "\r\n";
}

} // namespace

LocalHttpServer::Reply LocalHttpServer::Reply::text(const QByteArray& body, int status)
{
    Reply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

LocalHttpServer::Reply LocalHttpServer::Reply::endless(const QByteArray& start, qint64 streamBytes, char filler)
{
    Reply reply;
    reply.body = start;
    reply.streamBytes = streamBytes;
    reply.filler = filler;
    return reply;
}

LocalHttpServer::Reply LocalHttpServer::Reply::closeAtOnce()
{
    Reply reply;
    reply.behaviour = Behaviour::CloseAtOnce;
    return reply;
}

LocalHttpServer::Reply LocalHttpServer::Reply::neverAnswer()
{
    Reply reply;
    reply.behaviour = Behaviour::NeverAnswer;
    return reply;
}

LocalHttpServer::Reply LocalHttpServer::Reply::trickle(const QByteArray& body)
{
    Reply reply;
    reply.behaviour = Behaviour::Trickle;
    reply.body = body;
    return reply;
}

LocalHttpServer::LocalHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onNewConnection);
}

LocalHttpServer::~LocalHttpServer()
{
    for (auto& [socket, connection] : m_connections)
        socket->disconnect(this);
}

bool LocalHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString LocalHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

void LocalHttpServer::setReply(const QByteArray& path, const Reply& reply)
{
    m_replies.insert(path, reply);
}

QString LocalHttpServer::refusingUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

void LocalHttpServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        m_connections[socket] = Connection{};
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
            auto it = m_connections.find(socket);
            if (it != m_connections.end())
                sendMore(socket, it->second);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onDisconnected(socket); });
    }
}

void LocalHttpServer::onReadyRead(QTcpSocket* socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection& connection = it->second;
    connection.received += socket->readAll();
    if (connection.request >= 0 || !connection.received.contains("\r\n\r\n"))
        return;

    Request request;
    const QList<QByteArray> lines = connection.received.left(connection.received.indexOf("\r\n\r\n")).split('\n');
    const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
    request.method = words.value(0);
    request.path = words.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    connection.request = static_cast<int>(m_requests.size());
    m_requests.append(request);
    connection.reply = m_replies.value(request.path, Reply::text("not found", 404));
    respond(socket, connection);
}

void LocalHttpServer::respond(QTcpSocket* socket, Connection& connection)
{
    const Reply& reply = connection.reply;
    switch (reply.behaviour) {
    case Reply::Behaviour::NeverAnswer:
        return;
    case Reply::Behaviour::CloseAtOnce:
        socket->disconnectFromHost();
        return;
    case Reply::Behaviour::Trickle:
        socket->write(statusLine(reply.status) + "Content-Type: text/plain\r\nContent-Length: " +
                      QByteArray::number(reply.body.size()) + "\r\n\r\n");
        connection.trickleTimer = new QTimer(socket);
        connect(connection.trickleTimer, &QTimer::timeout, socket, [this, socket] {
            auto it = m_connections.find(socket);
            if (it != m_connections.end())
                sendTrickle(socket, it->second);
        });
        connection.trickleTimer->start(200);
        return;
    case Reply::Behaviour::Answer:
        break;
    }
    QByteArray head = statusLine(reply.status) + "Content-Type: text/plain\r\nConnection: close\r\n";
    if (reply.streamBytes <= reply.body.size())
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    socket->write(head + "\r\n");
    socket->write(reply.body);
    m_requests[connection.request].bodyBytesSent = reply.body.size();
    sendMore(socket, connection);
}

// Keeps an endless body flowing only as fast as the client takes it.
void LocalHttpServer::sendMore(QTcpSocket* socket, Connection& connection)
{
    if (connection.request < 0 || connection.reply.behaviour != Reply::Behaviour::Answer)
        return;
    Request& request = m_requests[connection.request];
    const qint64 total = std::max<qint64>(connection.reply.streamBytes, connection.reply.body.size());
    while (request.bodyBytesSent < total && socket->bytesToWrite() < chunkSize) {
        const qint64 size = std::min(chunkSize, total - request.bodyBytesSent);
        socket->write(QByteArray(size, connection.reply.filler));
        request.bodyBytesSent += size;
    }
    if (request.bodyBytesSent >= total && socket->bytesToWrite() == 0)
        socket->disconnectFromHost();
}

void LocalHttpServer::sendTrickle(QTcpSocket* socket, Connection& connection)
{
    Request& request = m_requests[connection.request];
    if (request.bodyBytesSent >= connection.reply.body.size()) {
        connection.trickleTimer->stop();
        socket->disconnectFromHost();
        return;
    }
    socket->write(connection.reply.body.mid(request.bodyBytesSent, 1));
    ++request.bodyBytesSent;
}

void LocalHttpServer::onDisconnected(QTcpSocket* socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    const Connection& connection = it->second;
    if (connection.request >= 0) {
        Request& request = m_requests[connection.request];
        const qint64 total = std::max<qint64>(connection.reply.streamBytes, connection.reply.body.size());
        request.closedByClient = connection.reply.behaviour == Reply::Behaviour::NeverAnswer ||
                                 request.bodyBytesSent < total || socket->bytesToWrite() > 0;
    }
    m_connections.erase(it);
    socket->deleteLater();
}
