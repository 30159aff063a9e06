#pragma once

#include "app/program.h"
#include "net/messages.h"
#include "support/finders.h"
#include "support/recordingreporter.h"
#include "support/recordingsoundplayer.h"
#include "support/scriptedhost.h"

#include <QTcpServer>

#include <memory>
#include <vector>

// Main windows that joined a scripted host on loopback, each with its own recorded
// sounds, so tests can play the host's part message by message. What the host says after
// the login goes straight to the window's dispatcher; what the window says goes over
// the connection to the scripted host.
class ClientTable {
public:
    struct Player {
        std::unique_ptr<Program> program;
        RecordingSoundPlayer sounds;
        int client = -1; // index at the scripted host
        int seat = 0;
        QString name;
        Tchat& chat() { return program->chat(); }
    };

    ClientTable();
    ~ClientTable();

    ScriptedHost host;
    RecordingReporter errors;

    // A window joins as `name` and is given `seat`; it is then logged in. With announce,
    // the host tells everybody ("CMD_newplayerinfo") and the newcomer about the others
    // ("CMD_existingplayers") as the real host does. Returns null on failure.
    Player* join(const QString& name, int seat, bool announce = true);
    // The host's messages to one window, or to every window still connected, handled at
    // once as the window's connection would hand them on.
    void send(Player* player, const QByteArray& wire);
    void sendAll(const QByteArray& wire);

    std::vector<std::unique_ptr<Player>> players;

private:
    QTcpServer m_lobby;
};

// Cards as the host deals them: card c, column x, row y holds 15 × (x - 1) + 5 × (c - 1) + y,
// every number in its letter.
msg::CardCells dealtCards();
