#pragma once

#include <QProcess>
#include <QTcpServer>

// A port nothing listens on right now.
inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The built program in a process of its own, its log kept. Its temporary folder, settings and
// tally are in tmpdir; extraEnv: "NAME=value" entries that replace the ones set here.
class ProcessCopy {
public:
    ProcessCopy(const QString& tmpdir, const QStringList& args, quint16 gamePort = 0,
                const QStringList& extraEnv = {},
                const QString& program = QStringLiteral(QUORVEL_EXECUTABLE))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmpdir);
        env.insert("QUORVEL_SETTINGS_DIR", tmpdir);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_LOGGING_RULES", "quorvel.*.info=true");
        env.insert("QUORVEL_LOBBY_PORT", QString::number(freePort()));
        if (gamePort)
            env.insert("QUORVEL_GAME_PORT", QString::number(gamePort));
        for (const QString& entry : extraEnv)
            env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { log += process.readAllStandardError(); });
        process.start(program, args);
    }
    ~ProcessCopy()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    bool logged(const char* text) const { return log.contains(text); }
    bool finished() const { return process.state() == QProcess::NotRunning; }

    QProcess process;
    QByteArray log;
};
