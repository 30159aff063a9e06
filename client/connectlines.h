#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QList>
#include <QString>

// What the chat tells a player about the connection to the table.
namespace connectlines {

// This machine's IPv4 addresses that others can reach it at (not the loopback address).
QList<QHostAddress> joinableAddresses();
// For the hosting player: the port and the addresses to give the others.
QString hosting(quint16 port, const QList<QHostAddress>& addresses);
QString joined();
// A connect to address and port that failed before it was ever made.
QString failed(const QString& address, quint16 port, QAbstractSocket::SocketError error);
// A connect that got no answer in time.
QString noAnswer(const QString& address, quint16 port);
// The host's end of a made connection went away: in order, or broken.
QString hostGone(bool broken);

} // namespace connectlines
