#pragma once

#include "client/soundplayer.h"

#include <QStringList>

// Keeps the names of the sounds the program asks for instead of playing them.
class RecordingSoundPlayer : public SoundPlayer {
public:
    void play(const QString& name) override
    {
        played.append(name);
        if (noDevice)
            reportNoDevice();
    }
    QStringList played;
    bool noDevice = false; // plays as a machine without an audio device would
};
