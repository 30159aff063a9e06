#include "support/rawclient.h"
#include "net/table.h"

#include "net/messages.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTest>

RawClient::RawClient(QObject* parent) : QObject(parent)
{
    connect(&socket, &QTcpSocket::readyRead, this, [this] {
        for (const QByteArray& text : m_reader.feed(socket.readAll())) {
            received.append(text);
            if (text.startsWith(QByteArray(cmd::sendlogininfo) + '+')) {
                m_seat = msg::SendLoginInfo::parse(text.mid(text.indexOf('+') + 1)).seat;
                if (!m_autoLogin.isNull())
                    sendRaw(msg::logininfo(m_seat, table::version(), m_autoLogin));
            }
            emit messageReceived(text);
        }
    });
}

bool RawClient::connectTo(quint16 port, int timeoutMs)
{
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    QSignalSpy spy(&socket, &QTcpSocket::connected);
    return socket.state() == QAbstractSocket::ConnectedState || spy.wait(timeoutMs);
}

bool RawClient::join(quint16 port, const QString& name)
{
    setAutoLogin(name);
    return connectTo(port) && waitFor(cmd::sendlogininfo) >= 0 &&
           waitFor(QByteArray(cmd::newplayerinfo) + '+' + QByteArray::number(m_seat) + '+') >= 0;
}

void RawClient::sendRaw(const QByteArray& bytes)
{
    socket.write(bytes);
    socket.flush();
}

int RawClient::waitFor(const QByteArray& prefix, int from, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        for (int i = from; i < received.size(); ++i)
            if (received.at(i).startsWith(prefix))
                return i;
        if (deadline.hasExpired())
            return -1;
        QTest::qWait(5);
    }
}

bool RawClient::waitForClose(int timeoutMs)
{
    if (socket.state() == QAbstractSocket::UnconnectedState)
        return true;
    QSignalSpy spy(&socket, &QTcpSocket::disconnected);
    return spy.wait(timeoutMs) || socket.state() == QAbstractSocket::UnconnectedState;
}

QByteArrayList RawClient::withPrefix(const QByteArray& prefix) const
{
    QByteArrayList result;
    for (const QByteArray& text : received)
        if (text.startsWith(prefix))
            result.append(text);
    return result;
}
