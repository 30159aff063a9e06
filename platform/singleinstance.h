#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <functional>

// One running copy per user session (per temporary directory). The lock file decides and
// is released by the system when a copy dies; a local socket carries a later copy's
// request to bring the first one's window forward.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: "leksro"; the lock and the socket live in QDir::tempPath().
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // False only when another running copy holds the lock. When this copy takes it, it
    // listens for later copies; when no lock can be made at all (an unusable temporary
    // folder, say), it runs without one and logs why.
    bool claim();
    // From a later copy: asks the first copy to come forward. Returns once it was asked.
    bool activateRunning(int timeoutMs = 2000);

signals:
    void activationRequested();

private:
    bool m_usableFolder;
    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer m_server;
};
