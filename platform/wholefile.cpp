#include "platform/wholefile.h"

#include <QSaveFile>

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // The flush is checked on its own: Qt 6.4's commit() renames the file into place even
    // when its own final flush wrote short, which would replace a good file by a cut one.
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
                    file.flush() && file.commit();
    if (!ok) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
    }
    return ok;
}
