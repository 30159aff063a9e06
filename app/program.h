#pragma once

#include "client/chatform.h"
#include "client/errorbox.h"
#include "client/gamestartform.h"
#include "client/soundloader.h"
#include "host/hostsettings.h"
#include "host/tserver.h"
#include "windows/aboutform.h"
#include "windows/downloadform.h"
#include "windows/helpform.h"
#include "windows/phrasesform.h"
#include "windows/playwithothersform.h"
#include "windows/spylistform.h"
#include "windows/tallylistform.h"

#include <QPointer>

#include <functional>
#include <memory>

class ErrorReporter;
class SoundPlayer;

// Every window of one running copy, created once at start in the program's order and
// wired together. main() makes one; tests can make several side by side.
class Program {
public:
    // errors and sounds default to the program's own error box and sound player; the
    // hosting copy's timers, unset, follow the window's menu choices.
    explicit Program(LaunchOptions options, ErrorReporter* errors = nullptr,
                     SoundPlayer* sounds = nullptr,
                     std::optional<HostSettings> hostSettings = std::nullopt);
    ~Program();

    Tchat& chat() { return *m_chat; }
    Ttallylist& tally() { return *m_tally; }
    TServer& server() { return *m_server; }
    // Made when first opened.
    Tabout& about();
    Tdownload& download();
    Thelp& help();
    Tplaywithothers& playWithOthers();
    // What the "Play with Others" dialog's choice starts; unset, it starts nothing.
    void setPlayWithOthers(std::function<void(const QStringList&)> start)
    {
        m_startWithOthers = std::move(start);
    }
    // Owned by the main window, which they open over; made when first needed (the game
    // start dialog holds the game's settings, so also at the first load or save of them).
    Tgamestart& gamestart();
    Tphrases& phrases();
    Tspylist& spylist();
    ErrorReporter& errors() { return *m_errors; }
    // What the host was given to read the hosting copy's menu choices.
    const HostSettings& hostSettings() const { return m_hostSettings; }

private:
    ErrorBox m_errorBox;
    ErrorReporter* m_errors;
    SoundLoader m_sounds;
    std::unique_ptr<Tchat> m_chat;
    std::unique_ptr<Ttallylist> m_tally;
    QPixmap m_tile;
    std::unique_ptr<Tabout> m_about;
    std::unique_ptr<Tdownload> m_download;
    QPointer<Tgamestart> m_gamestart;
    QPointer<Tphrases> m_phrases;
    HostSettings m_hostSettings;
    std::unique_ptr<TServer> m_server;
    QPointer<Tspylist> m_spylist;
    bool m_hosting = false;
    std::unique_ptr<Thelp> m_help;
    QPointer<Tplaywithothers> m_playWithOthers;
    std::function<void(const QStringList&)> m_startWithOthers;
};
