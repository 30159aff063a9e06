// The host's seat table: logins, departures, kicks, just watch and the relays.
#include "support/hostdriver.h"
#include "support/wire.h"

#include <QTest>

namespace {

// How many messages each seat has received so far.
QList<qsizetype> counts(const HostDriver& d)
{
    QList<qsizetype> result{0};
    for (int seat = 1; seat <= table::maxSeats; ++seat)
        result << d.received(seat).size();
    return result;
}

} // namespace

class TestHostSeats : public QObject {
    Q_OBJECT
private slots:
    void logins_data();
    void logins();
    void midGameLogin_data();
    void midGameLogin();
    void kicks_data();
    void kicks();
    void justWatch_data();
    void justWatch();
    void justWatchHandsTheTurnToTheComputer();
    void relays_data();
    void relays();
    void forgedSeatIsDropped_data();
    void forgedSeatIsDropped();
    void staleConnection_data();
    void staleConnection();
    void floodLimit_data();
    void floodLimit();
    void loginDeadline();
};

void TestHostSeats::logins_data()
{
    QTest::addColumn<QStringList>("before"); // "" connects without a login, "-" then leaves
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArrayList>("joiner"); // all the new seat receives
    QTest::addColumn<QByteArrayList>("toHost"); // what seat 1 receives from the login on
    const auto row = [](const char* title, const QStringList& before, const QByteArray& name,
                        const QByteArrayList& joiner, const QByteArrayList& toHost,
                        const QString& version = table::version()) {
        QTest::newRow(title) << before << name << version << joiner << toHost;
    };
    row("alone", {}, "Host", {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Host+0"},
        {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Host+0"});
    row("second", {"Host"}, "Ann",
        {"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Ann+0", "CMD_existingplayers+1+Host+0"},
        {"CMD_newplayerinfo+2+Ann+0"});
    // Reported, not refused; the host's own window is told who differs.
    row("other version", {"Host"}, "Old",
        {"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Old+0", "CMD_existingplayers+1+Host+0",
         "CMD_wrongversion+"},
        {"CMD_newplayerinfo+2+Old+0", "CMD_havewrongversion+Old"}, "0.9");
    row("a seat not logged in is listed without a name", {"Host", "Ann", ""}, "Cid",
        {"CMD_sendlogininfo+4", "CMD_newplayerinfo+4+Cid+0",
         "CMD_existingplayers+1+Host+0+2+Ann+0+3++0"},
        {"CMD_newplayerinfo+4+Cid+0"});
    row("a freed seat is reused", {"Host", "Ann", "-Bo", "Cid", "Di"}, "Eve",
        {"CMD_sendlogininfo+3", "CMD_newplayerinfo+3+Eve+0",
         "CMD_existingplayers+1+Host+0+2+Ann+0+4+Cid+0+5+Di+0"},
        {"CMD_newplayerinfo+3+Eve+0"});
    // A name with field separators would shift the fields of every message it is in (the
    // other cases are tst_rules' table).
    row("name with separators", {"Host"}, "a+b|c",
        {"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+a b c+0", "CMD_existingplayers+1+Host+0"},
        {"CMD_newplayerinfo+2+a b c+0"});
}

void TestHostSeats::logins()
{
    QFETCH(QStringList, before);
    QFETCH(QByteArray, name);
    QFETCH(QString, version);
    QFETCH(QByteArrayList, joiner);
    QFETCH(QByteArrayList, toHost);
    HostDriver d;
    for (const QString& earlier : before)
        earlier.isEmpty() ? d.connect() : d.join(QString(earlier).remove('-'));
    for (int seat = 1; seat <= before.size(); ++seat)
        if (before[seat - 1].startsWith('-'))
            d.drop(seat);
    const QList<qsizetype> from = counts(d);
    const int seat = d.join(QString::fromUtf8(name), version);
    QCOMPARE(d.received(seat), joiner);
    QCOMPARE(d.received(1).mid(from[1]), toHost);
    // Everyone else hears of the newcomer, those not logged in too.
    for (int other = 2; other <= table::maxSeats; ++other)
        if (other != seat && d.isOpen(other))
            QCOMPARE(d.received(other).mid(from[other]), QByteArrayList{joiner.at(1)});
    QVERIFY(d.server().player(seat).connected);
    // Relays carry the name as stored.
    d.send(seat, msg::chat(seat, "hello", "clBlue"));
    QCOMPARE(d.received(1).last(), "CMD_chat+" + QByteArray::number(seat) + '+' +
                                       fieldsOf(joiner.at(1)).at(1) + " chats: hello|clBlue");
}

void TestHostSeats::midGameLogin_data()
{
    QTest::addColumn<int>("seated"); // persons at the table when the game starts
    QTest::addColumn<bool>("picked");
    QTest::newRow("before any ball") << 1 << false;
    QTest::newRow("after balls") << 1 << true;
    QTest::newRow("spy after balls") << 8 << true;
}

// A seat that joins a running game gets the revealed balls (once there are any), then its
// cards as they stand; a spy gets no cards.
void TestHostSeats::midGameLogin()
{
    QFETCH(int, seated);
    QFETCH(bool, picked);
    HostDriver d;
    for (int seat = 1; seat <= seated; ++seat)
        d.join(QString("P%1").arg(seat));
    d.send(1, msg::startgame("Host", "100", "10", "5", 1));
    const TServer& server = d.server();
    if (picked) {
        d.send(1, msg::chooseball(1, d.hiddenPosition()));
        d.runTimers(); // seat 2's computer picks too when nobody sits there
    }
    QByteArray gamestats = "CMD_gamestats+" + QByteArray::number(server.currentTurn()) + '+' +
                           QByteArray::number(server.bobsRevealed()) + "+100";
    for (int seat = 1; seat <= table::playingSeats; ++seat)
        gamestats += '+' + QByteArray::number(server.player(seat).score);
    for (int p = 1; p <= rules::visiblePositions; ++p)
        if (server.board().slot(p).revealed)
            gamestats += '+' + QByteArray::number(p) + '+' +
                         QByteArray::number(server.board().slot(p).value);

    const int seat = d.join("Late");
    QCOMPARE(seat, seated + 1);
    QCOMPARE(d.named(seat, cmd::gamestats), picked ? QByteArrayList{gamestats} : QByteArrayList{});
    const bool plays = seat <= table::playingSeats;
    QCOMPARE(d.named(seat, cmd::myboard).size(), plays ? 1 : 0);
    if (plays) {
        QCOMPARE(nameOf(d.received(seat).last()), QByteArray(cmd::myboard));
        QVERIFY(cardsOf(d.received(seat).last()) == server.player(seat).card);
    }
}

void TestHostSeats::kicks_data()
{
    QTest::addColumn<int>("sender");
    QTest::addColumn<QByteArray>("kick");
    QTest::addColumn<int>("kicked");
    QTest::newRow("from another seat") << 2 << msg::kickhim(2, 3) << 0;
    QTest::newRow("claiming seat 1") << 2 << msg::kickhim(1, 3) << 0;
    QTest::newRow("from seat 1") << 1 << msg::kickhim(1, 3) << 3;
    for (int target : {0, 12, -3})
        QTest::addRow("seat %d", target) << 1 << msg::kickhim(1, target) << 0;
}

// Only the hosting copy's own window removes players.
void TestHostSeats::kicks()
{
    QFETCH(int, sender);
    QFETCH(QByteArray, kick);
    QFETCH(int, kicked);
    HostDriver d({"Host", "Ann", "Cid"});
    const QList<qsizetype> from = counts(d);
    d.send(sender, kick);
    for (int seat = 1; seat <= 3; ++seat) {
        QCOMPARE(d.isOpen(seat), seat != kicked);
        if (seat != kicked)
            QCOMPARE(d.received(seat).mid(from[seat]),
                     kicked ? QByteArrayList{"CMD_playerdisconnected+3+Cid"} : QByteArrayList{});
    }
}

void TestHostSeats::justWatch_data()
{
    QTest::addColumn<bool>("game");
    QTest::addColumn<int>("sender");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("told"); // what everyone is told, if anything
    QTest::addColumn<int>("watching");    // the seat that watches afterwards, or 0
    const auto row = [](const char* title, bool game, int sender, int seat, int mode,
                        const char* told = "", int watching = 0) {
        QTest::newRow(title) << game << sender << msg::justwatch(seat, mode) << QByteArray(told)
                             << watching;
    };
    row("no game: watch", false, 2, 2, 1);
    row("no game: play", false, 2, 2, 2, "CMD_justwatching+2+2");
    row("unknown mode", false, 2, 2, 3);
    row("own seat", true, 2, 2, 1, "CMD_justwatching+2+1", 2);
    row("another's seat", true, 2, 3, 1);
    row("seat 8", true, 2, 8, 1);
    row("seat 0", true, 2, 0, 1);
    row("seat 1 for a spy", true, 1, 9, 1);
    row("seat 1 for another", true, 1, 3, 1, "CMD_justwatching+3+1", 3);
    row("seat 1 clears another", true, 1, 3, 2, "CMD_justwatching+3+2");
    // Nobody sits there to watch for: the flag would stay for the next person.
    row("empty seat", true, 1, 6, 1);
}

void TestHostSeats::justWatch()
{
    QFETCH(bool, game);
    QFETCH(int, sender);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, told);
    QFETCH(int, watching);
    HostDriver d({"Host", "Ann", "Bo"});
    if (game)
        d.send(1, msg::startgame("Host", "1000", "10", "5", 1));
    const QList<qsizetype> from = counts(d);
    d.send(sender, request);
    for (int seat = 1; seat <= 3; ++seat)
        QCOMPARE(d.received(seat).mid(from[seat]),
                 told.isEmpty() ? QByteArrayList{} : QByteArrayList{told});
    for (int seat = 1; seat <= table::maxSeats; ++seat)
        QCOMPARE(d.server().player(seat).watching, seat == watching);
}

// The seat holding the turn that sets just watch is given the turn again, and the computer
// picks and covers for it; it hears of the covers alone.
void TestHostSeats::justWatchHandsTheTurnToTheComputer()
{
    HostDriver d({"Host", "Ann"});
    d.send(1, msg::startgame("Host", "1000", "10", "5", 1));
    const TServer& server = d.server();
    d.send(1, msg::chooseball(1, 1));
    d.runTimers();
    QCOMPARE(server.currentTurn(), 2);
    d.send(2, msg::justwatch(2, 1));
    QCOMPARE(d.received(2).mid(d.received(2).size() - 2),
             (QByteArrayList{"CMD_justwatching+2+1", "CMD_nextplayer+2+"}));
    QVERIFY(server.player(2).watching && server.computerPlays(2));
    QVERIFY(server.computertimerActive());
    // Newcomers see who watches.
    QCOMPARE(d.join("Cid"), 3);
    QCOMPARE(d.named(3, cmd::existingplayers),
             QByteArrayList{"CMD_existingplayers+1+Host+0+2+Ann+1"});
    d.drop(3);
    const qsizetype from = d.received(2).size();
    d.runTimers();
    QVERIFY(d.received(2).at(from).startsWith("CMD_chooseball+2+"));
    QCOMPARE(server.currentTurn(), 1);

    // Seat 1 picks a number of Ann's: the computer covers it for her.
    const HostDriver::HiddenCell cell = d.hiddenCells(2).first();
    d.send(1, msg::chooseball(1, cell.position));
    QVERIFY(d.named(2, cmd::coverit)
                .contains("CMD_coverit+2+1+" + QByteArray::number(cell.x) + '+' +
                          QByteArray::number(cell.y) + '+'));
    QVERIFY(d.named(1, cmd::coverit).isEmpty());

    d.send(2, msg::justwatch(2, 2));
    QCOMPARE(d.received(1).last(), QByteArray("CMD_justwatching+2+2"));
    QVERIFY(!server.player(2).watching);
}

void TestHostSeats::relays_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("relayed");
    QTest::newRow("chat") << msg::chat(2, "hi+there", "clRed")
                          << QByteArray("CMD_chat+2+Ann chats: hi+there|clRed");
    QTest::newRow("action") << msg::action(2, "says: well|met", "$00FF8000")
                            << QByteArray("CMD_action+2+Ann says: well|met|$00FF8000");
    QTest::newRow("sound") << msg::playasound(2, 7) << QByteArray("CMD_playasound+2+wave7+");
    QTest::newRow("nothing after the seat")
        << msg::frame("CMD_chat+2") << QByteArray("CMD_chat+2+Ann chats: ");
}

// Relayed byte for byte to everyone, the sender too.
void TestHostSeats::relays()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, relayed);
    HostDriver d({"Host", "Ann"});
    const QList<qsizetype> from = counts(d);
    d.send(2, sent);
    for (int seat : {1, 2})
        QCOMPARE(d.received(seat).mid(from[seat]), QByteArrayList{relayed});
}

void TestHostSeats::forgedSeatIsDropped_data()
{
    QTest::addColumn<QByteArray>("forged");
    QTest::newRow("chat") << msg::chat(1, "forged", "clRed");
    QTest::newRow("action") << msg::action(1, "forged", "clRed");
    QTest::newRow("sound") << msg::playasound(1, 3);
    QTest::newRow("login") << msg::logininfo(1, table::version(), "Mallory");
    QTest::newRow("pick") << msg::chooseball(1, 5); // seat 1 holds the turn
    QTest::newRow("cover") << msg::cover(1, 1, 1, 1);
    QTest::newRow("just watch") << msg::justwatch(1, 1);
    QTest::newRow("game start") << msg::startgame("Ann", "5", "10", "5", 3);
}

// What claims to come from seat 1 but comes in on seat 2 is dropped without a word.
void TestHostSeats::forgedSeatIsDropped()
{
    QFETCH(QByteArray, forged);
    HostDriver d({"Host", "Ann"});
    d.send(1, msg::startgame("Host", "100", "10", "5", 1));
    const QList<qsizetype> from = counts(d);
    d.send(2, forged);
    QCOMPARE(counts(d), from);
    const TServer& server = d.server();
    QCOMPARE(server.player(1).playername, QString("Host"));
    QCOMPARE(server.currentTurn(), 1);
    QCOMPARE(server.roundNumber(), 1);
    QCOMPARE(server.gameType(), 1);
    QCOMPARE(rules::revealedVisibleCount(server.board()), 0);
    QVERIFY(!server.player(1).watching);
    QVERIFY(d.errors.errors.isEmpty());
}

void TestHostSeats::staleConnection_data()
{
    QTest::addColumn<bool>("rejoined");
    QTest::addColumn<QByteArray>("message");
    // A late login would mark a freed seat connected with no connection behind it.
    QTest::newRow("freed seat") << false << QByteArray("CMD_logininfo+2+x+Ghost");
    QTest::newRow("next connection") << true << QByteArray("CMD_chat+2+old|clRed");
}

// What a seat's earlier connection sent does not act for the seat once it closed (through
// the sockets in tst_transport).
void TestHostSeats::staleConnection()
{
    QFETCH(bool, rejoined);
    QFETCH(QByteArray, message);
    HostDriver d({"Host", "Ann"});
    const int generation = d.server().player(2).generation;
    d.drop(2);
    if (rejoined)
        QCOMPARE(d.join("Bo"), 2);
    const QList<qsizetype> from = counts(d);
    d.server().socktimerTimer(2, generation, message);
    QCOMPARE(counts(d), from);
    QCOMPARE(d.server().player(2).connected, rejoined);
}

// Chat, actions and chatter sounds share one bucket per connection: a burst, then one a
// second; a connection that keeps flooding is let go.
void TestHostSeats::floodLimit_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("msBetween");
    QTest::addColumn<int>("relayed");
    QTest::addColumn<bool>("closed");
    QTest::newRow("a burst of ten") << 10 << 0 << 10 << false;
    QTest::newRow("beyond the burst") << 15 << 0 << 10 << false;
    QTest::newRow("one a second") << 40 << 1000 << 40 << false;
    QTest::newRow("fifty dropped") << 70 << 0 << 10 << true;
}

void TestHostSeats::floodLimit()
{
    QFETCH(int, lines);
    QFETCH(int, msBetween);
    QFETCH(int, relayed);
    QFETCH(bool, closed);
    HostDriver d;
    qint64 now = 0;
    d.server().setClock([&] { return now += msBetween; });
    d.join("P1");
    d.join("P2");
    const qsizetype from = d.received(1).size();
    for (int i = 0; i < lines; ++i)
        d.send(2, i % 3 == 0   ? msg::chat(2, "hi", "clBlack")
                  : i % 3 == 1 ? msg::action(2, "waves", "clBlack")
                               : msg::playasound(2, 1));
    d.send(2, msg::justwatch(2, 2)); // never limited
    const QByteArrayList got = d.received(1).mid(from);
    QCOMPARE(got.size(), relayed + 1);
    QCOMPARE(got.last(), closed ? "CMD_playerdisconnected+2+P2" : "CMD_justwatching+2+2");
    QCOMPARE(d.isOpen(2), !closed);
}

// A connection that has not logged in by the deadline on the engine's clock is let go.
void TestHostSeats::loginDeadline()
{
    HostDriver d;
    qint64 now = 0;
    d.server().setClock([&] { return now; });
    d.join("Host");
    QCOMPARE(d.connect(), 2);
    now = TServer::loginDeadlineMs / 2;
    QCOMPARE(d.connect(), 3);
    QCOMPARE(d.join("Ann"), 4);
    QVERIFY(d.server().logintimerActive());
    now = TServer::loginDeadlineMs - 1;
    d.server().logintimerTimer();
    QVERIFY(d.isOpen(2));
    now = TServer::loginDeadlineMs;
    d.server().logintimerTimer();
    QVERIFY(!d.isOpen(2) && d.isOpen(3) && d.isOpen(4));
    QCOMPARE(d.received(1).last(), "CMD_playerdisconnected+2+");
    QVERIFY(d.server().logintimerActive()); // for seat 3
    d.send(3, msg::logininfo(3, table::version(), "Bo"));
    now = 10 * TServer::loginDeadlineMs;
    d.server().logintimerTimer();
    QVERIFY(d.isOpen(1) && d.isOpen(3) && d.isOpen(4));
    QVERIFY(!d.server().logintimerActive());
}

QTEST_GUILESS_MAIN(TestHostSeats)
#include "tst_hostseats.moc"
