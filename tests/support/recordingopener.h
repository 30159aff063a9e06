#pragma once

#include "platform/shellopen.h"

#include <QList>
#include <QPair>

// Records what the windows ask the shell to open instead of opening it.
class RecordingOpener : public ShellOpener {
public:
    bool openUrl(const QUrl& url) override
    {
        urls.append(url);
        return succeed;
    }
    bool startProgram(const QString& path, const QStringList& arguments) override
    {
        programs.append({path, arguments});
        return succeed;
    }

    bool succeed = true;
    QList<QUrl> urls;
    QList<QPair<QString, QStringList>> programs;
};
