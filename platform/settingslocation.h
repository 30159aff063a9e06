#pragma once

#include <QString>

// Where the settings file and the tally file live: beside the executable when that folder
// can take a new file, else in the user's config folder (an installed copy). Chosen once,
// when made, so both files stay together for the whole run.
class SettingsLocation {
public:
    static inline const QString iniFileName = QStringLiteral("orsklobby.ini");
    static inline const QString tallyFileName = QStringLiteral("Quorveltally.tld");

    // programFolder is tried first; fallbackFolder is created when it is needed.
    SettingsLocation(const QString& programFolder, const QString& fallbackFolder);
    // The executable's folder, else QStandardPaths::AppConfigLocation.
    static SettingsLocation forThisProgram();

    QString folder() const { return m_folder; }
    QString iniPath() const;
    QString tallyPath() const;
    bool usesFallback() const { return m_fallback; }

    // The executable's folder when it may hold the program's files; empty for a copy
    // installed into a system folder (/usr/bin and the like), whose files belong to the user.
    static QString programFolder();
    static bool isSystemFolder(const QString& folder);

    // Whether a new file can be created in the folder. Saves write a temporary file beside
    // the target and rename it, so a writable file in a read-only folder is not enough.
    static bool canCreateFileIn(const QString& folder);

private:
    QString m_folder;
    bool m_fallback = false;
};
