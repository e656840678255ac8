#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <map>

class QTcpSocket;
class QTimer;

// A small HTTP/1.1 server on 127.0.0.1 for tests of the program's web requests. Each path gets
// a canned reply; unknown paths get 404. Besides ordinary answers it can misbehave the way
// real servers do: close without answering, never answer, answer a byte at a time, or send
// an endless body. Runs on the thread that creates it.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        enum class Behaviour { Answer, CloseAtOnce, NeverAnswer, Trickle };
        Behaviour behaviour = Behaviour::Answer;
        int status = 200;
        QByteArray body;
        // When larger than body: after the body, the filler byte follows until this many body
        // bytes are sent (or the client goes away). Sent without Content-Length.
        qint64 streamBytes = 0;
        char filler = 'x';

        static Reply text(const QByteArray& body, int status = 200);
        static Reply endless(const QByteArray& start, qint64 streamBytes, char filler);
        static Reply closeAtOnce();
        static Reply neverAnswer();
        static Reply trickle(const QByteArray& body); // one body byte every 200 ms
    };

    struct Request {
        QByteArray method;
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
        qint64 bodyBytesSent = 0;
        bool closedByClient = false;
    };

    explicit LocalHttpServer(QObject* parent = nullptr);
    ~LocalHttpServer() override;

    bool listen();
    QString baseUrl() const; // "http://127.0.0.1:<port>/"

    void setReply(const QByteArray& path, const Reply& reply);
    QList<Request> requests() const { return m_requests; }

    // An address on 127.0.0.1 where nothing listens: connections are refused.
    static QString refusingUrl();

private:
    struct Connection {
        QByteArray received;
        int request = -1; // index into m_requests once the request is complete
        Reply reply;
        QTimer* trickleTimer = nullptr;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void respond(QTcpSocket* socket, Connection& connection);
    void sendMore(QTcpSocket* socket, Connection& connection);
    void sendTrickle(QTcpSocket* socket, Connection& connection);
    void onDisconnected(QTcpSocket* socket);

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_replies;
    QList<Request> m_requests;
    std::map<QTcpSocket*, Connection> m_connections;
};
