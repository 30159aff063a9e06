#include "platform/namedmutex.h"

#include <QDir>

NamedMutex::NamedMutex(const QString& name)
    : m_file(QDir(QDir::tempPath()).filePath(QStringLiteral("%1.mutex").arg(name)))
{
    m_file.setStaleLockTime(0);
    // The result is deliberately not looked at.
    (void)m_file.tryLock(0);
}
