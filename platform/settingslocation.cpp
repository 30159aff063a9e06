#include "platform/settingslocation.h"

#include "platform/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

// Set by the build for the program; other builds of this file (fuzz replays) take the default.
#ifndef QUORVEL_INSTALL_BINDIR
#define QUORVEL_INSTALL_BINDIR "/usr/local/bin"
#endif

SettingsLocation::SettingsLocation(const QString& programFolder, const QString& fallbackFolder)
{
    if (canCreateFileIn(programFolder)) {
        m_folder = QDir(programFolder).absolutePath();
        return;
    }
    m_fallback = true;
    m_folder = QDir(fallbackFolder).absolutePath();
    if (!QDir().mkpath(m_folder))
        qCWarning(lcClient) << "cannot create the settings folder" << m_folder;
    if (programFolder.isEmpty())
        qCInfo(lcClient) << "installed copy; settings live in" << m_folder;
    else
        qCInfo(lcClient) << programFolder << "cannot take new files; settings live in" << m_folder;
}

SettingsLocation SettingsLocation::forThisProgram()
{
    return SettingsLocation(programFolder(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString SettingsLocation::programFolder()
{
    const QString folder = QCoreApplication::applicationDirPath();
    return isSystemFolder(folder) ? QString() : folder;
}

bool SettingsLocation::isSystemFolder(const QString& folder)
{
    // Root can write there, but settings beside a packaged program would be shared by
    // every user and removed with the package.
    static const QStringList systemFolders{
        QStringLiteral(QUORVEL_INSTALL_BINDIR), QStringLiteral("/usr/bin"),
        QStringLiteral("/usr/local/bin"),       QStringLiteral("/usr/games"),
        QStringLiteral("/usr/local/games"),     QStringLiteral("/bin"),
    };
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const QString& system : systemFolders)
        if (!canonical.isEmpty() && canonical == QFileInfo(system).canonicalFilePath())
            return true;
    return false;
}

QString SettingsLocation::iniPath() const
{
    return QDir(m_folder).filePath(iniFileName);
}

QString SettingsLocation::tallyPath() const
{
    return QDir(m_folder).filePath(tallyFileName);
}

bool SettingsLocation::canCreateFileIn(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quorvel-probe-XXXXXX")));
    return probe.open();
}
