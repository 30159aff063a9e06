#pragma once

#include <QByteArrayList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A tiny HTTP server on loopback for download tests. It records the request exactly as
// received and answers with the reply it was given: whole, or part of the body and then
// nothing until the test cuts the connection (closed or reset).
class TestHttpServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        QByteArray statusLine = "HTTP/1.0 200 OK";
        QByteArrayList headers; // sent after Content-Length, in order
        QByteArray body;
        bool contentLength = true; // send "Content-Length: <body size>"
        qsizetype stallAfter = -1; // send this many body bytes, then wait for cut()
        bool closeBeforeHead = false;
    };

    explicit TestHttpServer(QObject* parent = nullptr);

    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QString& path) const;
    void setReply(const Reply& reply) { m_reply = reply; }
    // Ends a stalled reply: an orderly close (FIN) or a reset (RST).
    void cut(bool reset);

    // The head lines the reply sends, status line included; a client sees each once.
    QByteArrayList replyHeadLines() const;

    int requests = 0;
    QByteArray requestLine;
    QByteArrayList requestHeaders;

signals:
    void requestReceived();

private:
    void accept();
    void read(QTcpSocket* socket);
    void respond(QTcpSocket* socket);

    QTcpServer m_server;
    Reply m_reply;
    QPointer<QTcpSocket> m_stalled;
    QByteArray m_buffer;
};
