#pragma once

#include <QString>

// Plays the program's sounds by name. Handed to the main window, so tests can record
// what would be heard.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the named sound at once and returns; a sound still playing stops. A name
    // the program has no sound for plays nothing. Names match in any letter case.
    virtual void play(const QString& name) = 0;
};
