#include "support/httpserver.h"

#include <sys/socket.h>

namespace {
// A request head larger than this is not a request these tests send.
constexpr qsizetype maxHead = 64 * 1024;
} // namespace

TestHttpServer::TestHttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestHttpServer::accept);
}

bool TestHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl TestHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path));
}

QByteArrayList TestHttpServer::replyHeadLines() const
{
    QByteArrayList lines{m_reply.statusLine};
    if (m_reply.contentLength)
        lines << "Content-Length: " + QByteArray::number(m_reply.body.size());
    lines << m_reply.headers;
    return lines;
}

void TestHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_buffer.clear();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void TestHttpServer::read(QTcpSocket* socket)
{
    m_buffer += socket->readAll();
    const qsizetype end = m_buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        if (m_buffer.size() > maxHead)
            socket->abort();
        return;
    }
    QByteArrayList lines = m_buffer.left(end).split('\n');
    for (QByteArray& line : lines)
        line = line.trimmed();
    ++requests;
    requestLine = lines.takeFirst();
    requestHeaders = lines;
    m_buffer.clear();
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    emit requestReceived();
    respond(socket);
}

void TestHttpServer::respond(QTcpSocket* socket)
{
    m_stalled = nullptr;
    if (m_reply.closeBeforeHead) {
        socket->disconnectFromHost();
        return;
    }
    socket->write(replyHeadLines().join("\r\n") + "\r\n\r\n");
    if (m_reply.stallAfter < 0) {
        socket->write(m_reply.body);
        socket->disconnectFromHost();
        return;
    }
    socket->write(m_reply.body.left(m_reply.stallAfter));
    m_stalled = socket;
}

void TestHttpServer::cut(bool reset)
{
    if (!m_stalled)
        return;
    if (reset) {
        // Linger 0 makes the close send a reset instead of an orderly end.
        m_stalled->flush();
        const linger abortive{1, 0};
        ::setsockopt(int(m_stalled->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                     sizeof abortive);
        m_stalled->abort();
    } else {
        m_stalled->disconnectFromHost();
    }
}
