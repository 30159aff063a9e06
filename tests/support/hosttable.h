#pragma once

#include "host/bingocard.h"
#include "host/tserver.h"
#include "net/messages.h"
#include "net/table.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"

#include <QByteArrayList>

#include <memory>
#include <vector>

// A host on an ephemeral loopback port with fast timers, and the raw clients at its table.
class HostTable {
public:
    explicit HostTable(int botSpeedMs = 1, int secondsBetweenRounds = 0, std::uint32_t seed = 1);
    ~HostTable();

    TServer& server() { return *m_server; }
    RecordingReporter errors;

    // Connects without logging in; waits for the seat offer.
    RawClient* connect();
    // Connects and logs in; returns once the host has taken the login.
    RawClient* join(const QString& name, const QString& version = table::version());
    // Starts a game from seat 1's client and waits until the first turn is given.
    void startGame(RawClient* seatOne, int playtoscore, int penalty, int bobcount, int gametype);
    void dropClient(RawClient* client);

private:
    std::unique_ptr<TServer> m_server;
    std::vector<std::unique_ptr<RawClient>> m_clients;
};

// The "+"-separated fields after a message's name.
QByteArrayList fieldsOf(const QByteArray& message);
QList<int> numbersOf(const QByteArray& message);
// The cards in a CMD_myboard.
rules::CardPair cardsOf(const QByteArray& myboard);
// Messages of one client from index `from` on whose name is `name` exactly.
QByteArrayList named(const RawClient& client, const char* name, int from = 0);
QByteArray nameOf(const QByteArray& message);
