#include "client/waveplayer.h"

#include "net/logging.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

// The sounds live in the UI library's resources; a static library must register them.
static void initSoundResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(quorvel);
        return true;
    }();
    Q_UNUSED(done);
}

WavePlayer::WavePlayer(QObject* parent) : QObject(parent)
{
    initSoundResources();
}

WavePlayer::~WavePlayer() = default;

QString WavePlayer::resourcePath(const QString& name)
{
    return QStringLiteral(":/sounds/%1.wav").arg(name.toLower());
}

bool WavePlayer::hasSound(const QString& name)
{
    initSoundResources();
    // Only plain names: a "/" or ".." must not reach into other resources.
    for (const QChar c : name)
        if (!c.isLetterOrNumber())
            return false;
    return !name.isEmpty() && QFile::exists(resourcePath(name));
}

void WavePlayer::play(const QString& name)
{
    if (!hasSound(name)) {
        qCDebug(lcClient) << "no sound named" << name;
        return;
    }
    const QString key = name.toLower();
    QSoundEffect*& effect = m_effects[key];
    if (!effect) {
        // Loading happens in the background; a play asked for before it ends waits for it.
        effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath(key)));
    }
    if (m_playing && m_playing != effect)
        m_playing->stop();
    else if (m_playing == effect)
        effect->stop();
    m_playing = effect;
    effect->play();
}
