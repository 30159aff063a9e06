#pragma once

#include "net/framereader.h"

#include <QByteArrayList>
#include <QObject>
#include <QTcpSocket>

// A bare protocol peer on loopback: sends raw bytes and keeps every message it receives,
// so tests can check the exact text a side sends.
class RawClient : public QObject {
    Q_OBJECT
public:
    explicit RawClient(QObject* parent = nullptr);

    bool connectTo(quint16 port, int timeoutMs = 10000);
    // Connects and logs in as name; true once the host has announced the login.
    bool join(quint16 port, const QString& name);
    void sendRaw(const QByteArray& bytes);

    // Waits until a message starting with prefix has arrived (from index `from` on);
    // returns its index or -1.
    int waitFor(const QByteArray& prefix, int from = 0, int timeoutMs = 10000);
    bool waitForClose(int timeoutMs = 10000);
    QByteArrayList withPrefix(const QByteArray& prefix) const;
    int seat() const { return m_seat; }
    // Answers CMD_sendlogininfo with a login under this name (set before connecting).
    void setAutoLogin(const QString& name) { m_autoLogin = name; }

    QByteArrayList received;
    QTcpSocket socket;

signals:
    void messageReceived(const QByteArray& text);

private:
    FrameReader m_reader;
    QString m_autoLogin;
    int m_seat = 0;
};
