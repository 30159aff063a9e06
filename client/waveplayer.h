#pragma once

#include "client/soundplayer.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class QSoundEffect;
class QWidget;

// Plays the WAV files under ":/sounds/" through Qt Multimedia. Without an audio output
// the effects stay silent and the first sound asked for reports no device. Each file is loaded
// once, when first played or, for the program's window, all of them just after the window's first
// paint.
class WavePlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    void play(const QString& name) override;
    // Sound is set up and every file loaded once the window has painted its first frame; a
    // sound asked for before then plays at that moment.
    void startAfterFirstPaint(QWidget* window);

    static QString resourcePath(const QString& name);
    static bool hasSound(const QString& name);

private:
    QSoundEffect* effect(const QString& key);

    QHash<QString, QSoundEffect*> m_effects;
    bool m_waiting = false;
    bool m_wanted = false; // a sound was asked for: the sounds are on
    QString m_asked;
    QPointer<QSoundEffect> m_playing;
};
