#include "client/connectlines.h"

#include <QNetworkInterface>
#include <QStringList>

namespace connectlines {

QList<QHostAddress> joinableAddresses()
{
    QList<QHostAddress> found;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            found << address;
    }
    return found;
}

QString hosting(quint16 port, const QList<QHostAddress>& addresses)
{
    if (addresses.isEmpty())
        return QStringLiteral("You host this table on port %1, but this computer has no network "
                              "address others could join it at.")
            .arg(port);
    QStringList texts;
    for (const QHostAddress& address : addresses)
        texts << address.toString();
    return QStringLiteral("You host this table on port %1. Others can join it at %2.")
        .arg(port)
        .arg(texts.join(QStringLiteral(" or ")));
}

QString joined()
{
    return QStringLiteral("You have joined the table. The host starts the game.");
}

namespace {
QString cannotConnect(const QString& address, quint16 port, const QString& why)
{
    return QStringLiteral("Cannot connect to the host at %1 port %2 (%3).")
        .arg(address)
        .arg(port)
        .arg(why);
}
} // namespace

QString failed(const QString& address, quint16 port, QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return cannotConnect(address, port, QStringLiteral("nobody hosts a table there"));
    case QAbstractSocket::HostNotFoundError:
        return cannotConnect(address, port, QStringLiteral("no computer has that name"));
    default:
        return cannotConnect(address, port, QStringLiteral("the address cannot be reached"));
    }
}

QString noAnswer(const QString& address, quint16 port)
{
    return cannotConnect(address, port, QStringLiteral("no answer"));
}

QString hostGone(bool broken)
{
    return broken ? QStringLiteral("The connection to the host was lost.")
                  : QStringLiteral("The host has closed the table.");
}

} // namespace connectlines
