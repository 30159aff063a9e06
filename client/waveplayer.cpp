#include "client/waveplayer.h"

#include "client/firstpaint.h"
#include "platform/logging.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
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

void WavePlayer::startAfterFirstPaint(QWidget* window)
{
    m_waiting = true;
    afterFirstPaint(window, [this] {
        m_waiting = false;
        for (const QString& file : QDir(QStringLiteral(":/sounds")).entryList(QDir::Files))
            effect(file.chopped(4).toLower());
        if (!m_asked.isEmpty())
            play(m_asked);
        m_asked.clear();
    });
}

QSoundEffect* WavePlayer::effect(const QString& key)
{
    QSoundEffect*& effect = m_effects[key];
    if (!effect) {
        // Loading happens in the background; a play asked for before it ends waits for it.
        effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath(key)));
        connect(effect, &QSoundEffect::statusChanged, this, [this, effect] {
            if (m_wanted && effect->status() == QSoundEffect::Error)
                reportNoDevice();
        });
    }
    return effect;
}

void WavePlayer::play(const QString& name)
{
    if (!hasSound(name)) {
        qCDebug(lcClient) << "no sound named" << name;
        return;
    }
    if (m_waiting) {
        // A newer sound replaces an older one, as when playing.
        m_asked = name;
        return;
    }
    QSoundEffect* effect = this->effect(name.toLower());
    m_wanted = true;
    if (QMediaDevices::audioOutputs().isEmpty() || effect->status() == QSoundEffect::Error)
        reportNoDevice();
    if (m_playing && m_playing != effect)
        m_playing->stop();
    else if (m_playing == effect)
        effect->stop();
    m_playing = effect;
    effect->play();
}
