#include "client/settingslocation.h"

#include "net/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

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
    qCInfo(lcClient) << programFolder << "cannot take new files; settings live in" << m_folder;
}

SettingsLocation SettingsLocation::forThisProgram()
{
    return SettingsLocation(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
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
