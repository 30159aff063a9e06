#include "client/waveplayer.h"

#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

WavePlayer::WavePlayer(QObject* parent) : QObject(parent) {}

WavePlayer::~WavePlayer() = default;

void WavePlayer::loadAll()
{
    for (const QString& file : QDir(QStringLiteral(":/sounds")).entryList(QDir::Files))
        effect(file.chopped(4).toLower());
}

QSoundEffect* WavePlayer::effect(const QString& key)
{
    QSoundEffect*& effect = m_effects[key];
    if (!effect) {
        // Loading happens in the background; a play asked for before it ends waits for it.
        effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(key)));
        connect(effect, &QSoundEffect::statusChanged, this, [this, effect] {
            if (m_wanted && effect->status() == QSoundEffect::Error)
                reportNoDevice();
        });
    }
    return effect;
}

void WavePlayer::play(const QString& name)
{
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

SoundPlayer* quorvel_sound_player(QObject* parent)
{
    auto* player = new WavePlayer(parent);
    player->loadAll();
    return player;
}
