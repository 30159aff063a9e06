#pragma once

#include "client/soundplayer.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QSoundEffect;

// Plays the WAV files under ":/sounds/" through Qt Multimedia. Without an audio output
// the effects simply stay silent.
class WavePlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    void play(const QString& name) override;

    static QString resourcePath(const QString& name);
    static bool hasSound(const QString& name);

private:
    QHash<QString, QSoundEffect*> m_effects;
    QPointer<QSoundEffect> m_playing;
};
