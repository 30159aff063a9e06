#pragma once

#include <QString>

#include <functional>
#include <utility>

// Plays the program's sounds by name. Handed to the main window, so tests can record
// what would be heard.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the named sound at once and returns; a sound still playing stops. A name
    // the program has no sound for plays nothing. Names match in any letter case.
    virtual void play(const QString& name) = 0;
    // Called once, the first time a sound is asked for that no audio device can play.
    void onNoDevice(std::function<void()> told) { m_noDevice = std::move(told); }

protected:
    void reportNoDevice()
    {
        if (m_noDevice)
            std::exchange(m_noDevice, nullptr)();
    }

private:
    std::function<void()> m_noDevice;
};
