#pragma once

#include "client/soundplayer.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QSoundEffect;

// Plays the WAV files under ":/sounds/" through Qt Multimedia. Built into the sound module
// (with Qt Multimedia and its codecs, which the program loads only once its window is up);
// the resources are the program's, and the names come checked by SoundLoader. Without an
// audio output the effects stay silent and the first sound asked for reports no device.
class WavePlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    void play(const QString& name) override;
    // Loads every sound file now rather than when first played.
    void loadAll();

private:
    QSoundEffect* effect(const QString& key);

    QHash<QString, QSoundEffect*> m_effects;
    bool m_wanted = false; // a sound was asked for: the sounds are on
    QPointer<QSoundEffect> m_playing;
};

// The module's one entry, found by name: a player, owned by parent, with every file loaded.
extern "C" Q_DECL_EXPORT SoundPlayer* quorvel_sound_player(QObject* parent);
