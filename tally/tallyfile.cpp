#include "tally/tallyfile.h"

#include "platform/logging.h"
#include "platform/wholefile.h"
#include "tally/lzrw1kh.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <span>

namespace {
// Far beyond any real tally (about 40 bytes per opponent); a bigger file or a bigger
// claimed text is treated as damaged rather than read into memory.
constexpr qint64 maxStoredBytes = 16 * 1024 * 1024;
constexpr quint32 maxTextBytes = 64 * 1024 * 1024;
// Free names tried for a damaged file before giving up.
constexpr int maxDamagedNames = 1000;

std::span<const std::uint8_t> bytes(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

TallyFile::Read TallyFile::read()
{
    const QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink())
        return {}; // the first run
    QByteArray stored;
    {
        QFile file(m_path);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly))
            return cannotRead(info.isFile() ? file.errorString() : QStringLiteral("not a file"));
        if (const qint64 size = file.size(); size > maxStoredBytes) {
            file.close();
            return keepDamagedFile(QStringLiteral("%1 bytes, too large for a tally").arg(size));
        }
        stored = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return cannotRead(file.errorString());
    }

    std::vector<std::uint8_t> text;
    try {
        const std::string name = QFile::encodeName(m_path).toStdString();
        if (lzrw1kh::storedSize(bytes(stored), name) > maxTextBytes)
            return keepDamagedFile(QStringLiteral("its text would be too large for a tally"));
        lzrw1kh::decompress(bytes(stored), text, name);
    } catch (const lzrw1kh::Error& error) {
        return keepDamagedFile(QString::fromStdString(error.what()));
    }
    QString why;
    std::optional<TallyTable> table = TallyTable::fromText(
        QByteArray(reinterpret_cast<const char*>(text.data()), qsizetype(text.size())), &why);
    if (!table)
        return keepDamagedFile(why);
    return {std::move(*table), {}, false};
}

// The damaged file keeps its name's stem and goes aside, never over an earlier one, so
// whatever it still holds can be recovered by hand; this run starts an empty tally.
TallyFile::Read TallyFile::keepDamagedFile(const QString& reason)
{
    qCWarning(lcWindows) << "the tally file" << m_path << "is damaged:" << reason;

    const QString first = m_path + QStringLiteral(".damaged");
    const auto taken = [](const QString& name) {
        const QFileInfo info(name);
        return info.exists() || info.isSymLink();
    };
    QString target = first;
    for (int n = 1; taken(target) && n <= maxDamagedNames; ++n)
        target = first + QLatin1Char('.') + QString::number(n);
    // rename() never replaces an existing file.
    if (taken(target) || !QFile::rename(m_path, target)) {
        m_keepFile = true;
        return {{},
                QStringLiteral("The tally file \"%1\" is damaged and could not be moved "
                               "aside. It is left as it is; a new, empty tally counts "
                               "this session's games but will not be kept.")
                    .arg(shown(m_path))};
    }
    QString text = QStringLiteral("The tally file was damaged and could not be read. It was kept "
                                  "as \"%1\", and a new, empty tally begins now.")
                       .arg(shown(target));
    if (target != first)
        text +=
            QStringLiteral(" An earlier damaged tally is still kept as \"%1\".").arg(shown(first));
    return {{}, text, true};
}

// Not known to be damaged, and it may still hold a tally: left alone and not replaced.
TallyFile::Read TallyFile::cannotRead(const QString& reason)
{
    qCWarning(lcWindows) << "cannot read the tally file" << m_path << reason;
    m_keepFile = true;
    return {{},
            QStringLiteral("The tally file \"%1\" could not be read (%2). It is left as "
                           "it is, and the games of this session will not be kept in it.")
                .arg(shown(m_path), reason)};
}

bool TallyFile::write(const TallyTable& table)
{
    if (m_keepFile) {
        qCInfo(lcWindows) << "the tally is not written over" << m_path;
        return false;
    }
    const QByteArray text = table.toText();
    const std::vector<std::uint8_t> stored = lzrw1kh::compress(bytes(text));
    QString why;
    if (!writeWholeFile(
            m_path,
            QByteArray(reinterpret_cast<const char*>(stored.data()), qsizetype(stored.size())),
            &why)) {
        qCWarning(lcWindows) << "cannot write the tally file" << m_path << why;
        return false;
    }
    return true;
}
