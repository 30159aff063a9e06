// The host's seat table: logins, departures, kicks, just watch and the relays.
#include "net/messages.h"
#include "net/table.h"
#include "support/hosttable.h"
#include "support/wire.h"

#include <QSignalSpy>
#include <QTest>

namespace {
}

class TestHostSeats : public QObject {
    Q_OBJECT
private slots:
    void loginAlone();
    void loginExchange();
    void freedSeatIsReusedWithTheNewName();
    void tenthConnectionIsTurnedAway();
    void existingPlayersShowWatching();
    void versionMismatchIsReportedNotRefused();
    void midGameLoginBeforeAnyBall();
    void midGameLoginWithGamestats();
    void spiesNeverReceiveCards();
    void kickOnlyFromSeatOne();
    void justWatchOutsideAGame();
    void justWatchDuringAGame();
    void justWatchOnlyForOwnSeatExceptFromSeatOne();
    void relaysByteForByte();
    void forgedSeatIsDropped();
    void closedConnectionsMessagesDoNotActForTheNextOne();
    void namesAreCleaned_data();
    void namesAreCleaned();
};

void TestHostSeats::loginAlone()
{
    HostTable table;
    RawClient* host = table.join("Host");
    QVERIFY(host);
    QCOMPARE(host->received, (QByteArrayList{"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Host+0"}));
    QCOMPARE(table.server().player(1).playername, QString("Host"));
}

void TestHostSeats::loginExchange()
{
    HostTable table;
    RawClient* host = table.join("Host");
    QVERIFY(host);
    RawClient* ann = table.join("Ann");
    QVERIFY(ann);
    QVERIFY(ann->waitFor("CMD_existingplayers") > 0);
    QCOMPARE(ann->received, (QByteArrayList{"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Ann+0",
                                            "CMD_existingplayers+1+Host+0"}));
    QVERIFY(host->waitFor("CMD_newplayerinfo+2+") > 0);
    QCOMPARE(host->received.last(), QByteArray("CMD_newplayerinfo+2+Ann+0"));

    // A seat that has not logged in yet is listed with an empty name.
    RawClient* silent = table.connect();
    QVERIFY(silent);
    RawClient* cid = table.join("Cid");
    QVERIFY(cid);
    QVERIFY(cid->waitFor("CMD_existingplayers") > 0);
    QCOMPARE(cid->received.last(), QByteArray("CMD_existingplayers+1+Host+0+2+Ann+0+3++0"));
    QVERIFY(silent->waitFor("CMD_newplayerinfo+4+Cid+0") > 0);
}

void TestHostSeats::freedSeatIsReusedWithTheNewName()
{
    HostTable table;
    QList<RawClient*> clients;
    for (const char* name : {"Host", "Ann", "Bo", "Cid", "Di"})
        clients << table.join(name);
    QVERIFY(!clients.contains(nullptr));
    QSignalSpy freed(&table.server(), &TServer::seatFreed);
    table.dropClient(clients[2]);
    QTRY_COMPARE(freed.size(), 1);
    QVERIFY(clients[0]->waitFor("CMD_playerdisconnected+3+Bo") > 0);
    QCOMPARE(table.server().player(3).playername, QString());

    RawClient* eve = table.join("Eve");
    QVERIFY(eve);
    QCOMPARE(eve->seat(), 3);
    QVERIFY(eve->waitFor("CMD_existingplayers") > 0);
    QCOMPARE(eve->received.last(),
             QByteArray("CMD_existingplayers+1+Host+0+2+Ann+0+4+Cid+0+5+Di+0"));
    QCOMPARE(table.server().seatsUsed(), 5);
}

void TestHostSeats::tenthConnectionIsTurnedAway()
{
    HostTable table;
    QList<RawClient*> clients;
    for (int seat = 1; seat <= 9; ++seat)
        clients << table.join(QString("P%1").arg(seat));
    QVERIFY(!clients.contains(nullptr));
    table.startGame(clients[0], 100, 10, 5, 1);
    RawClient tenth;
    QVERIFY(tenth.connectTo(table.server().serverPort()));
    QVERIFY(tenth.waitForClose());
    QCOMPARE(tenth.received, QByteArrayList{"CMD_full+"});
    clients[8]->sendRaw(msg::chat(9, "marker", "clRed"));
    QVERIFY(clients[0]->waitFor("CMD_chat+9+P9 chats: marker") > 0);
    QVERIFY(named(*clients[0], cmd::playerdisconnected).isEmpty());
    for (int seat = 1; seat <= 9; ++seat)
        QCOMPARE(table.server().player(seat).playername, QString("P%1").arg(seat));
}

void TestHostSeats::existingPlayersShowWatching()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    RawClient* bo = table.join("Bo");
    QVERIFY(host && ann && bo);
    table.startGame(host, 100, 10, 5, 1);
    bo->sendRaw(msg::justwatch(3, 1));
    QVERIFY(host->waitFor("CMD_justwatching+3+1") > 0);

    RawClient* cid = table.join("Cid");
    QVERIFY(cid);
    QVERIFY(cid->waitFor("CMD_existingplayers") > 0);
    QCOMPARE(named(*cid, cmd::existingplayers),
             QByteArrayList{"CMD_existingplayers+1+Host+0+2+Ann+0+3+Bo+1"});
    QCOMPARE(named(*cid, cmd::newplayerinfo), QByteArrayList{"CMD_newplayerinfo+4+Cid+0"});
}

void TestHostSeats::versionMismatchIsReportedNotRefused()
{
    HostTable table;
    RawClient* host = table.join("Host");
    QVERIFY(host);
    RawClient* old = table.join("Old", "0.9");
    QVERIFY(old);
    QVERIFY(old->waitFor("CMD_wrongversion+") > 0);
    QVERIFY(host->waitFor("CMD_havewrongversion+Old") > 0);
    QCOMPARE(old->received, (QByteArrayList{"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Old+0",
                                            "CMD_existingplayers+1+Host+0", "CMD_wrongversion+"}));
    QVERIFY(table.server().player(2).connected);
    QCOMPARE(table.server().player(2).playername, QString("Old"));
    // The host's own client is told nothing when it is itself the one that differs.
    QVERIFY(named(*host, cmd::wrongversion).isEmpty());
}

void TestHostSeats::midGameLoginBeforeAnyBall()
{
    HostTable table;
    RawClient* host = table.join("Host");
    QVERIFY(host);
    table.startGame(host, 100, 10, 5, 1); // seat 1 holds the turn and has not picked
    RawClient* ann = table.join("Ann");
    QVERIFY(ann);
    QVERIFY(ann->waitFor("CMD_myboard+2+") > 0);
    QVERIFY(named(*ann, cmd::gamestats).isEmpty());
    const rules::CardPair cards = cardsOf(named(*ann, cmd::myboard).first());
    QVERIFY(cards == table.server().player(2).card);
}

void TestHostSeats::midGameLoginWithGamestats()
{
    HostTable table;
    RawClient* host = table.join("Host");
    QVERIFY(host);
    table.startGame(host, 100, 10, 5, 1);
    // Seat 1 picks; the computer in seat 2 picks; then seat 1 holds the turn again.
    const rules::Board& board = table.server().board();
    int position = 1;
    while (board.slot(position).value == rules::bobValue)
        ++position;
    host->sendRaw(msg::chooseball(1, position));
    QVERIFY(host->waitFor("CMD_chooseball+2+") > 0);
    const int second = host->waitFor("CMD_nextplayer+1+", host->waitFor("CMD_chooseball+2+"));
    QVERIFY(second > 0);

    QByteArray expected =
        "CMD_gamestats+1+" + QByteArray::number(table.server().bobsRevealed()) + "+100";
    for (int seat = 1; seat <= 7; ++seat)
        expected += '+' + QByteArray::number(table.server().player(seat).score);
    for (int p = 1; p <= rules::visiblePositions; ++p)
        if (board.slot(p).revealed)
            expected += '+' + QByteArray::number(p) + '+' + QByteArray::number(board.slot(p).value);
    QCOMPARE(named(*host, cmd::chooseball).size(), 2);

    RawClient* ann = table.join("Ann");
    QVERIFY(ann);
    QVERIFY(ann->waitFor("CMD_myboard+2+") > 0);
    QCOMPARE(named(*ann, cmd::gamestats), QByteArrayList{expected});
    // The board comes after the statistics.
    QCOMPARE(nameOf(ann->received.last()), QByteArray(cmd::myboard));
    // Seat 2 was the computer's; Ann takes over its cards as they stand.
    QVERIFY(cardsOf(ann->received.last()) == table.server().player(2).card);
}

void TestHostSeats::spiesNeverReceiveCards()
{
    HostTable table;
    QList<RawClient*> clients;
    for (int seat = 1; seat <= 8; ++seat)
        clients << table.join(QString("P%1").arg(seat));
    QVERIFY(!clients.contains(nullptr));
    table.startGame(clients[0], 100, 10, 5, 3);
    for (int seat = 1; seat <= 7; ++seat)
        QVERIFY(clients[seat - 1]->waitFor("CMD_myboard+" + QByteArray::number(seat) + '+') > 0);
    clients[0]->sendRaw(msg::chooseball(1, 1));
    QVERIFY(clients[7]->waitFor("CMD_chooseball+1+1+") > 0);
    RawClient* nine = table.join("P9");
    QVERIFY(nine);
    QVERIFY(nine->waitFor("CMD_gamestats+") > 0);
    QVERIFY(clients[7]->waitFor("CMD_newplayerinfo+9+") > 0);
    QVERIFY(nine->waitFor("CMD_existingplayers") > 0);
    QVERIFY(named(*clients[7], cmd::myboard).isEmpty());
    QVERIFY(named(*nine, cmd::myboard).isEmpty());
    QVERIFY(named(*clients[7], cmd::roundstart).size() == 1);
}

void TestHostSeats::kickOnlyFromSeatOne()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    RawClient* cid = table.join("Cid");
    QVERIFY(host && ann && cid);
    ann->sendRaw(msg::kickhim(2, 3));
    ann->sendRaw(msg::kickhim(1, 3)); // claims to be seat 1
    ann->sendRaw(msg::chat(2, "marker", "clRed"));
    QVERIFY(cid->waitFor("CMD_chat+2+Ann chats: marker") > 0);
    QVERIFY(table.server().player(3).connected);

    host->sendRaw(msg::kickhim(1, 3));
    QVERIFY(cid->waitForClose());
    QVERIFY(ann->waitFor("CMD_playerdisconnected+3+Cid") > 0);
    QVERIFY(host->waitFor("CMD_playerdisconnected+3+Cid") > 0);
    QVERIFY(!table.server().player(3).connected);
    // Out-of-range targets touch nothing.
    host->sendRaw(msg::kickhim(1, 0) + msg::kickhim(1, 12) + msg::kickhim(1, -3));
    host->sendRaw(msg::chat(1, "still here", "clRed"));
    QVERIFY(ann->waitFor("CMD_chat+1+Host chats: still here") > 0);
    QVERIFY(table.server().player(2).connected);
}

void TestHostSeats::justWatchOutsideAGame()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    ann->sendRaw(msg::justwatch(2, 1)); // no game: changes nothing
    ann->sendRaw(msg::justwatch(2, 2)); // always applied
    ann->sendRaw(msg::justwatch(2, 3)); // unknown mode
    QVERIFY(host->waitFor("CMD_justwatching+2+2") > 0);
    ann->sendRaw(msg::chat(2, "marker", "clRed"));
    QVERIFY(host->waitFor("CMD_chat+2+") > 0);
    QCOMPARE(named(*host, cmd::justwatching), QByteArrayList{"CMD_justwatching+2+2"});
    QVERIFY(!table.server().player(2).watching);
}

void TestHostSeats::justWatchDuringAGame()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 1000, 10, 5, 1);
    host->sendRaw(msg::chooseball(1, 1));
    QVERIFY(ann->waitFor("CMD_nextplayer+2+") > 0);

    // Ann holds the turn and sets just watch: the turn is given again and the computer
    // picks for her, covering her cards as it goes.
    const int from = int(ann->received.size());
    ann->sendRaw(msg::justwatch(2, 1));
    QVERIFY(ann->waitFor("CMD_justwatching+2+1", from) > 0);
    const int regiven = ann->waitFor("CMD_nextplayer+2+", from);
    QVERIFY(regiven > 0);
    QVERIFY(ann->waitFor("CMD_chooseball+2+", regiven) > 0);
    QVERIFY(table.server().player(2).watching);
    QVERIFY(table.server().computerPlays(2));

    // Seat 1 picks numbers on Ann's cards until the computer has covered one for her.
    const rules::CardPair annCards = table.server().player(2).card;
    for (int x = 1; x <= 5 && named(*ann, cmd::coverit).isEmpty(); ++x) {
        for (int y = 1; y <= 5; ++y) {
            QTRY_COMPARE(table.server().currentTurn(), 1);
            const int number = annCards[0].at(x, y);
            int position = 0;
            for (int p = 1; p <= rules::visiblePositions; ++p)
                if (table.server().board().slot(p).value == number &&
                    !table.server().board().slot(p).revealed)
                    position = p;
            if (number == 0 || position == 0)
                continue;
            const int before = int(ann->received.size());
            host->sendRaw(msg::chooseball(1, position));
            QVERIFY(ann->waitFor("CMD_chooseball+1+" + QByteArray::number(position) + '+', before) >
                    0);
            QVERIFY(ann->waitFor("CMD_coverit+2+1+" + QByteArray::number(x) + '+' +
                                     QByteArray::number(y) + '+',
                                 before) > 0);
            break;
        }
        if (table.server().bobsRevealed() >= 2)
            break;
    }
    QVERIFY(!named(*ann, cmd::coverit).isEmpty());
    // Only the watcher is told of the covers made for it.
    QVERIFY(named(*host, cmd::coverit).isEmpty());

    ann->sendRaw(msg::justwatch(2, 2));
    QVERIFY(host->waitFor("CMD_justwatching+2+2") > 0);
    QVERIFY(!table.server().player(2).watching);
}

void TestHostSeats::justWatchOnlyForOwnSeatExceptFromSeatOne()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    RawClient* bo = table.join("Bo");
    QVERIFY(host && ann && bo);
    table.startGame(host, 1000, 10, 5, 1);
    ann->sendRaw(msg::justwatch(3, 1));                        // someone else's seat
    ann->sendRaw(msg::justwatch(8, 1) + msg::justwatch(0, 1)); // out of range
    host->sendRaw(msg::justwatch(9, 1));                       // seat 1 too: only 1 to 7
    ann->sendRaw(msg::chat(2, "marker", "clRed"));
    QVERIFY(bo->waitFor("CMD_chat+2+") > 0);
    QVERIFY(named(*bo, cmd::justwatching).isEmpty());

    host->sendRaw(msg::justwatch(3, 1));
    QVERIFY(bo->waitFor("CMD_justwatching+3+1") > 0);
    QVERIFY(table.server().player(3).watching);
    host->sendRaw(msg::justwatch(3, 2));
    QVERIFY(bo->waitFor("CMD_justwatching+3+2") > 0);
    // Nobody sits in seat 6 to watch for.
    host->sendRaw(msg::justwatch(6, 1));
    host->sendRaw(msg::chat(1, "marker", "clRed"));
    QVERIFY(bo->waitFor("CMD_chat+1+") > 0);
    QVERIFY(!table.server().player(6).watching);
    QCOMPARE(named(*bo, cmd::justwatching).size(), 2);
}

void TestHostSeats::relaysByteForByte()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    ann->sendRaw(msg::chat(2, "hi+there", "clRed"));
    ann->sendRaw(msg::action(2, "says: well|met", "$00FF8000"));
    ann->sendRaw(msg::playasound(2, 7));
    ann->sendRaw("CMD_chat+2" + FF); // nothing after the seat
    const QByteArrayList expected{
        "CMD_chat+2+Ann chats: hi+there|clRed",
        "CMD_action+2+Ann says: well|met|$00FF8000",
        "CMD_playasound+2+wave7+",
        "CMD_chat+2+Ann chats: ",
    };
    for (RawClient* c : {host, ann}) {
        QVERIFY(c->waitFor("CMD_chat+2+Ann chats: ", c->waitFor("CMD_playasound")) > 0);
        QByteArrayList relayed;
        for (const QByteArray& m : c->received)
            if (m.startsWith("CMD_chat") || m.startsWith("CMD_action") ||
                m.startsWith("CMD_playasound"))
                relayed << m;
        QCOMPARE(relayed, expected);
    }
}

void TestHostSeats::forgedSeatIsDropped()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    table.startGame(host, 100, 10, 5, 1);
    const int from = int(host->received.size());
    ann->sendRaw(msg::chat(1, "forged", "clRed"));
    ann->sendRaw(msg::action(1, "forged", "clRed"));
    ann->sendRaw(msg::playasound(1, 3));
    ann->sendRaw(msg::logininfo(1, table::version(), "Mallory"));
    ann->sendRaw(msg::chooseball(1, 5)); // seat 1 holds the turn
    ann->sendRaw(msg::cover(1, 1, 1, 1));
    ann->sendRaw(msg::justwatch(1, 1));
    ann->sendRaw(msg::startgame("Ann", "5", "10", "5", 3));
    ann->sendRaw(msg::chat(2, "marker", "clRed"));
    QVERIFY(host->waitFor("CMD_chat+2+Ann chats: marker", from) > 0);
    QCOMPARE(host->received.mid(from), QByteArrayList{"CMD_chat+2+Ann chats: marker|clRed"});
    QCOMPARE(table.server().player(1).playername, QString("Host"));
    QCOMPARE(table.server().currentTurn(), 1);
    QCOMPARE(table.server().roundNumber(), 1);
    QCOMPARE(table.server().gameType(), 1);
    QVERIFY(!table.server().player(1).watching);
    QVERIFY(table.errors.errors.isEmpty());
}

// A seat's queued messages belong to the connection that sent them, not to the seat.
void TestHostSeats::closedConnectionsMessagesDoNotActForTheNextOne()
{
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* ann = table.join("Ann");
    QVERIFY(host && ann);
    QByteArray burst;
    for (int i = 0; i < 40; ++i)
        burst += msg::chat(2, QString("old %1").arg(i), "clRed");
    burst += msg::logininfo(2, table::version(), "Ghost");
    ann->sendRaw(burst);
    table.dropClient(ann);
    QTRY_VERIFY(!table.server().player(2).connected);
    RawClient* bo = table.join("Bo");
    QVERIFY(bo);
    QCOMPARE(bo->seat(), 2);
    bo->sendRaw(msg::chat(2, "new", "clRed"));
    QVERIFY(host->waitFor("CMD_chat+2+Bo chats: new") > 0);
    const int left = host->waitFor("CMD_playerdisconnected+2+Ann");
    QVERIFY(left > 0);
    QVERIFY(named(*host, cmd::chat, left) == QByteArrayList{"CMD_chat+2+Bo chats: new|clRed"});
    QCOMPARE(named(*host, cmd::newplayerinfo, left), QByteArrayList{"CMD_newplayerinfo+2+Bo+0"});
    QCOMPARE(table.server().player(2).playername, QString("Bo"));
}

void TestHostSeats::namesAreCleaned_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("separator and bar") << QByteArray("a+b|c") << QByteArray("a b c");
    QTest::newRow("line break") << QByteArray("two\r\nlines") << QByteArray("two  lines");
    QTest::newRow("plain") << QByteArray("Zo\xc3\xab") << QByteArray("Zo\xc3\xab");
}

// A name with field or frame separators would shift the fields of every message it is in.
void TestHostSeats::namesAreCleaned()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, stored);
    HostTable table;
    RawClient* host = table.join("Host");
    RawClient* other = table.connect();
    QVERIFY(host && other);
    other->sendRaw("CMD_logininfo+2+1.0.1+" + name + FF);
    QVERIFY(host->waitFor("CMD_newplayerinfo+2+") > 0);
    QCOMPARE(named(*host, cmd::newplayerinfo).last(), "CMD_newplayerinfo+2+" + stored + "+0");
    other->sendRaw(msg::chat(2, "hello", "clBlue"));
    QVERIFY(host->waitFor("CMD_chat+2+") > 0);
    QCOMPARE(named(*host, cmd::chat).last(), "CMD_chat+2+" + stored + " chats: hello|clBlue");
}

QTEST_GUILESS_MAIN(TestHostSeats)
#include "tst_hostseats.moc"
