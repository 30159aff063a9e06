#include "client/cardgrid.h"
#include "client/playingsurface.h"
#include "client/seatrows.h"
#include "net/messages.h"
#include "support/clienttable.h"
#include "support/finders.h"
#include "support/settingsfolder.h"

#include <QAction>
#include <QLabel>
#include <QStringListModel>
#include <QTest>

#include <random>

namespace {
const QColor red(255, 0, 0);

std::array<bool, 5> inRound(std::initializer_list<int> seats)
{
    std::array<bool, 5> result{};
    for (int seat : seats)
        result[std::size_t(seat - 3)] = true;
    return result;
}
} // namespace

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void seatEvents_data();
    void seatEvents();
    void justWatchOnAndOff();
    void gameAndRoundStart();
    void myboardFillsBothCards();
    void outOfRangeNumbersTouchNothing();
    void turnMarkerStatusAndSound();
    void noticeLines_data();
    void noticeLines();
    void malformedMessagesAreSurvived();
    void windowPicture();
};

void TestTable::seatEvents_data()
{
    QTest::addColumn<int>("seat");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("rows"); // seats 1 to 7: "-" waiting, "*" where the eyes show
    QTest::addColumn<QStringList>("spies");
    QTest::addColumn<int>("entered"); // times the sound of an arrival played
    const auto row = [](const char* name, int seat, const QByteArrayList& messages,
                        const QStringList& lines, const char* rows, const QStringList& spies,
                        int entered) {
        QTest::newRow(name) << seat << messages << lines << QString(rows) << spies << entered;
    };
    row("logging in beside a player and a watcher", 3,
        {msg::newplayerinfo(3, "Cid"), msg::existingplayers({{1, "Ann", false}, {2, "Bob", true}})},
        {"You are Connected.", "Ann is Connected.", "Bob is Connected."}, "Ann,Bob*,Cid,-,-,-,-",
        {}, 2);
    row("a spy's own view", 8,
        {msg::newplayerinfo(8, "Sam"), msg::existingplayers({{1, "Ann", false}}),
         msg::newplayerinfo(9, "Zed")},
        {"You are Connected.", "You are spying.", "Ann is Connected.", "Zed is Connected.",
         "Zed is spying."},
        "Ann,-,-,-,-,-,-", {"8: Sam", "9: Zed"}, 3);
    // A spy the list does not hold: nothing happens.
    row("spies come and go", 1,
        {msg::newplayerinfo(1, "Ann"), msg::newplayerinfo(8, "Sam"), msg::newplayerinfo(9, "Zed"),
         msg::playerdisconnected(9, "Ned"), msg::playerdisconnected(9, "Zed")},
        {"You are Connected.", "Sam is Connected.", "Sam is spying.", "Zed is Connected.",
         "Zed is spying.", "Zed has left."},
        "Ann,-,-,-,-,-,-", {"8: Sam"}, 3);
    // Seat 4 has had the turn since the round start, seat 5 has not; seat 6's person is
    // named like its computer. The row's text is named, and a row showing the computer's
    // name, leaving again, says nothing.
    row("departures", 1,
        {msg::newplayerinfo(1, "Ann"), msg::newplayerinfo(4, "Dee"), msg::newplayerinfo(5, "Eve"),
         msg::newplayerinfo(6, "Krazy"), msg::justwatching(4, 1),
         msg::roundstart(1, inRound({4, 5, 6})), msg::nextplayer(4),
         msg::playerdisconnected(4, "Dee"), msg::playerdisconnected(5, "Eve"),
         msg::playerdisconnected(6, "Krazy"), msg::playerdisconnected(4, "")},
        {"You are Connected.", "Dee is Connected.", "Eve is Connected.", "Krazy is Connected.",
         "Dee is just watching", "Dee disconnected.", "Eve disconnected."},
        "Ann,-,-,Kling,-,-,-", {}, 4);
}

// One window handed the host's messages, with no connection at all.
void TestTable::seatEvents()
{
    QFETCH(int, seat);
    QFETCH(QByteArrayList, messages);
    QFETCH(int, entered);
    RecordingSoundPlayer sounds;
    Tchat chat(isolatedOptions(), nullptr, &sounds);
    feed(chat, msg::sendlogininfo(seat));
    const int before = int(chatLines(chat).size());
    for (const QByteArray& message : messages)
        feed(chat, message);
    QTEST(chatLines(chat).mid(before), "lines");
    QStringList rows;
    for (int row = 1; row <= table::playingSeats; ++row)
        rows << (rowName(chat, row) == table::waitingName ? "-" : rowName(chat, row)) +
                    (eyesShown(chat, row) ? "*" : "");
    QTEST(rows.join(','), "rows");
    QTEST(chat.spylistItems()->stringList(), "spies");
    QCOMPARE(sounds.played, QStringList(entered, QStringLiteral("entered")));
}

void TestTable::justWatchOnAndOff()
{
    ClientTable table;
    auto* ann = table.join("Ann", 1);
    auto* cid = table.join("Cid", 3);
    QVERIFY(ann && cid);
    QAction* justWatch = action(cid->chat(), "JustWatch1");

    // The click asks; the check mark waits for the host's answer.
    justWatch->trigger();
    QVERIFY(table.host.waitFor(cid->client, "CMD_justwatch+3+1") >= 0);
    QVERIFY(!justWatch->isChecked());
    table.sendAll(msg::justwatching(3, 1));
    QVERIFY(justWatch->isChecked());
    QVERIFY(!action(ann->chat(), "JustWatch1")->isChecked());
    QVERIFY(eyesShown(ann->chat(), 3) && eyesShown(cid->chat(), 3));

    justWatch->trigger();
    QVERIFY(table.host.waitFor(cid->client, "CMD_justwatch+3+2") >= 0);
    QVERIFY(justWatch->isChecked());
    table.sendAll(msg::justwatching(3, 2));
    QVERIFY(!justWatch->isChecked());
    QVERIFY(!eyesShown(ann->chat(), 3) && !eyesShown(cid->chat(), 3));

    // A spy asks for nothing; a window that is not hosting removes nobody.
    auto* spy = table.join("Sam", 8);
    QVERIFY(spy);
    action(spy->chat(), "JustWatch1")->trigger();
    cid->chat().kicking(1);
    for (auto* p : {spy, cid}) {
        p->chat().send(msg::chat(p->seat, "done", "clBlack"));
        QVERIFY(table.host.waitFor(p->client,
                                   "CMD_chat+" + QByteArray::number(p->seat) + "+done") >= 0);
    }
    QVERIFY(table.host.withPrefix(spy->client, "CMD_justwatch").isEmpty());
    QVERIFY(table.host.withPrefix(cid->client, "CMD_kickhim").isEmpty());
}

void TestTable::gameAndRoundStart()
{
    ClientTable table;
    auto* cid = table.join("Cid", 3);
    QVERIFY(cid);
    Tchat& c = cid->chat();
    table.sendAll(msg::newplayerinfo(4, "Dee"));
    table.sendAll(msg::justwatching(3, 1));
    QVERIFY(action(c, "JustWatch1")->isChecked());
    c.surface().seatRows()->setScore(3, "42");
    c.surface().seatRows()->setBonus(3, "+7");

    table.sendAll(msg::startgameRelay("Ann", 30));
    QCOMPARE(label(c, "label_playtoscore")->text(), QStringLiteral("Play to Score: 30"));
    QCOMPARE(rowName(c, 2), QStringLiteral("Klot"));
    QVERIFY(!action(c, "JustWatch1")->isChecked());
    // Scores reset; the eyes stay until the seat's next change.
    QCOMPARE(c.surface().seatRows()->score(3), QStringLiteral("0"));
    QCOMPARE(c.surface().seatRows()->bonus(3), QString());
    QVERIFY(eyesShown(c, 3));

    // Seats 3 to 7 map to the round's flags: seat 5 plays while waiting, seat 6 does not.
    c.surface().seatRows()->setBonus(4, "-10");
    table.sendAll(msg::roundstart(1, inRound({3, 4, 5})));
    QCOMPARE(rowName(c, 5), QStringLiteral("Klick"));
    QCOMPARE(rowName(c, 6), table::waitingName);
    QCOMPARE(c.surface().seatRows()->bonus(4), QString());
}

void TestTable::myboardFillsBothCards()
{
    Tchat chat(isolatedOptions(), nullptr);
    CardGrid* cards = chat.surface().cards();
    msg::CardCells cells = dealtCards();
    cells[0][1][3] = 0; // a covered cell of a late joiner
    // The host's answer to a cover of card 2, column 4, row 1 after the cards.
    feed(chat, msg::sendlogininfo(1) + msg::myboard(1, cells) + msg::coverit(1, 2, 4, 1));
    cells[1][3][0] = 0;
    // The free centres show the red X whatever the message held.
    for (int c = 1; c <= 2; ++c)
        for (int x = 1; x <= 5; ++x)
            for (int y = 1; y <= 5; ++y) {
                QLabel* cell = label(chat, QStringLiteral("label_card%1%2%3").arg(c).arg(x).arg(y));
                const int dealt = cells[std::size_t(c - 1)][std::size_t(x - 1)][std::size_t(y - 1)];
                const bool covered = dealt == 0 || (x == 3 && y == 3);
                QCOMPARE(cards->cellNumber(c, x, y), covered ? 0 : dealt);
                QCOMPARE(cell->text(), covered ? QStringLiteral("X") : QString::number(dealt));
                QCOMPARE(cell->palette().color(QPalette::WindowText),
                         covered ? red : QColor(Qt::black));
            }

    // A card reset at the next round start empties them.
    feed(chat, msg::roundstart(2, inRound({})));
    QCOMPARE(label(chat, "label_card111")->text(), QString());
    QCOMPARE(label(chat, "label_card121")->palette().color(QPalette::WindowText),
             QColor(Qt::black));
    QCOMPARE(label(chat, "label_card233")->text(), QStringLiteral("X"));
}

// Numbers out of range are skipped; the sound rest of the message is handled.
void TestTable::outOfRangeNumbersTouchNothing()
{
    ClientTable table;
    auto* ann = table.join("Ann", 1);
    QVERIFY(ann);
    Tchat& a = ann->chat();
    const int lines = int(chatLines(a).size());
    ann->sounds.played.clear();

    table.send(ann, msg::frame("CMD_newplayerinfo+0+Nobody+0"));
    table.send(ann, msg::frame("CMD_existingplayers+12+Far+0+2+Bob+1+-1+Neg+1"));
    table.send(ann, msg::frame("CMD_myboard+1+3+1+1+5+1+0+1+6+1+1+6+7+2+5+0+8+1+1+1+42"));
    table.send(ann, msg::frame("CMD_playerdisconnected+0+Ann"));
    table.send(ann, msg::frame("CMD_justwatching+-2+1"));
    table.send(ann, msg::frame("CMD_nextplayer+8+"));
    table.send(ann, msg::frame("CMD_roundstart+1+12+1+0+1+5+1"));
    table.send(ann, msg::frame("CMD_chat+12+Far chats: hi|clRed"));

    QCOMPARE(chatLines(a).mid(lines), QStringList({"Bob is Connected."}));
    QCOMPARE(rowName(a, 2), QStringLiteral("Bob"));
    QVERIFY(eyesShown(a, 2));
    QVERIFY(a.spylistItems()->stringList().isEmpty());
    QCOMPARE(ann->sounds.played, QStringList({"entered", "entered"}));
    QCOMPARE(rowName(a, 1), QStringLiteral("Ann"));
    QCOMPARE(a.state().turnseat(), 0);
    QVERIFY(a.findChild<QWidget*>("image_Turn")->isHidden());
    QCOMPARE(rowName(a, 5), QStringLiteral("Klick"));
    QVERIFY(table.errors.errors.isEmpty());

    // Only the sound group of the board reached a cell; then the round start emptied it.
    table.send(ann, msg::frame("CMD_myboard+1+3+1+1+5+1+1+1+42+2+9+9+9"));
    QCOMPARE(a.surface().cards()->cellNumber(1, 1, 1), 42);
    QCOMPARE(label(a, "label_card111")->text(), QStringLiteral("42"));

    // A field that is no number refuses the whole message and is reported.
    table.send(ann, msg::frame("CMD_myboard+1+1+1+2+17+1+1+3+x+1+1+4+19"));
    table.send(ann, msg::frame("CMD_chat+x+Ann chats: hi|clRed"));
    QCOMPARE(a.surface().cards()->cellNumber(1, 1, 2), 0);
    QCOMPARE(a.surface().cards()->cellNumber(1, 1, 4), 0);
    QCOMPARE(table.errors.errors.size(), 2);
    QVERIFY(table.errors.errors.at(0).contains("'x'"));
}

void TestTable::turnMarkerStatusAndSound()
{
    ClientTable table;
    auto* ann = table.join("Ann", 1);
    auto* cid = table.join("Cid", 3);
    QVERIFY(ann && cid);
    ann->sounds.played.clear();
    cid->sounds.played.clear();
    // The marker stands 5 pixels above the name of the seat whose turn it is.
    const auto markedRow = [](Tchat& chat) {
        QWidget* marker = chat.findChild<QWidget*>("image_Turn");
        for (int seat = 1; marker->isVisible() && seat <= table::playingSeats; ++seat)
            if (marker->y() == label(chat, QStringLiteral("label_playername%1").arg(seat))->y() - 5)
                return seat;
        return 0;
    };
    QCOMPARE(markedRow(cid->chat()), 0);

    table.sendAll(msg::nextplayer(3));
    QCOMPARE(cid->chat().surface().status(), QStringLiteral("Your Turn."));
    QCOMPARE(ann->chat().surface().status(), QStringLiteral("Cid's turn."));
    QCOMPARE(cid->sounds.played, QStringList({"turn"}));
    QVERIFY(ann->sounds.played.isEmpty());
    QCOMPARE(markedRow(cid->chat()), 3);

    // The "New" turn sound; an empty seat's turn goes to its computer player.
    action(cid->chat(), "New1")->trigger();
    table.sendAll(msg::nextplayer(6));
    QCOMPARE(ann->chat().surface().status(), QStringLiteral("Krazy's turn."));
    QCOMPARE(markedRow(ann->chat()), 6);
    table.sendAll(msg::nextplayer(3));
    QCOMPARE(cid->sounds.played, QStringList({"turn", "turnnew"}));

    // "Play Sounds" off: the turn is silent.
    action(cid->chat(), "PlaySounds1")->trigger();
    table.sendAll(msg::nextplayer(3));
    QCOMPARE(cid->sounds.played.size(), 2);
}

void TestTable::noticeLines_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("line");
    QTest::newRow("own version") << msg::wrongversion()
                                 << "You have a different version of the game then the host.";
    QTest::newRow("other's version")
        << msg::havewrongversion("Bob") << "Bob has a different version of the game then you.";
    QTest::newRow("own start") << msg::startgameRelay("Cid", 30) << "You have started a game.";
    QTest::newRow("other's start") << msg::startgameRelay("Ann", 30) << "Ann has started a game.";
    QTest::newRow("watching") << msg::justwatching(3, 1) << "Cid is just watching";
    QTest::newRow("playing again") << msg::justwatching(3, 2) << "Cid is now playing again";
}

// One host message, one line in the chat of Cid's window at seat 3.
void TestTable::noticeLines()
{
    QFETCH(QByteArray, message);
    Tchat chat(isolatedOptions(), nullptr);
    feed(chat, msg::sendlogininfo(3) + msg::newplayerinfo(3, "Cid") + message);
    QTEST(chatLines(chat).last(), "line");
}

// Whatever the host sends, the window keeps going (run under the sanitizers too).
void TestTable::malformedMessagesAreSurvived()
{
    ClientTable table;
    auto* ann = table.join("Ann", 1);
    QVERIFY(ann);
    std::mt19937 random(7);
    QList<QByteArray> bodies{"",
                             "+",
                             "++++",
                             "-1+-1+-1+-1+-1",
                             "2147483647+2147483648+-2147483648",
                             "99999999999",
                             "1+:)#:)#:)#99|",
                             "0+|||",
                             "3+" + QByteArray(3000, 'x'),
                             "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17",
                             "0+0+0+0+0+0+0+0+0"};
    for (int i = 0; i < 40; ++i) {
        QByteArray noise;
        const int size = int(random() % 200);
        for (int j = 0; j < size; ++j) {
            const char pick = "0123456789+|:)# -wWhtp./"[random() % 24];
            noise += (random() % 8 == 0) ? char(random() % 254) : pick;
        }
        bodies.append(noise);
    }
    for (const QByteArray& name : ann->chat().dispatcher().names()) {
        if (name == cmd::full)
            continue; // ends the program by design
        for (const QByteArray& body : bodies)
            table.send(ann, msg::frame(name + '+' + body));
    }
    table.send(ann, msg::newplayerinfo(5, "Eve"));
    QCOMPARE(rowName(ann->chat(), 5), QStringLiteral("Eve"));
    QVERIFY(ann->chat().isVisible());
}

// The window after a game start with three players and a few chat lines, saved as
// table.png in the build folder.
void TestTable::windowPicture()
{
    ClientTable table;
    auto* ann = table.join("Ann", 1);
    auto* bob = table.join("Bob", 2);
    auto* cid = table.join("Cid", 3);
    QVERIFY(ann && bob && cid);
    table.sendAll(msg::startgameRelay("Ann", 30));
    table.sendAll(msg::roundstart(1, inRound({3, 4})));
    for (auto* p : {ann, bob, cid})
        table.send(p, msg::myboard(p->seat, dealtCards()));
    table.sendAll(msg::justwatching(3, 1));
    table.sendAll(msg::nextplayer(1));
    table.sendAll(msg::chatRelay(2, "Bob", "Hi all :)#10 good luck!|clNavy"));
    table.sendAll(msg::actionRelay(3, "Cid", "says: Way To Go!|$00008000"));
    table.sendAll(msg::chatRelay(1, "Ann", "Rules are at www.example.com :)#19|clPurple"));
    table.sendAll(msg::frame("CMD_playasound+2+wave13+"));
    Tchat& a = ann->chat();
    action(a, "PlayerPhraseSounds1")->trigger();
    table.sendAll(msg::frame("CMD_playasound+2+wave13+"));

    const QImage picture = a.grab().toImage();
    const QString path = QStringLiteral(QUORVEL_BINARY_DIR "/table.png");
    QVERIFY(picture.save(path));
    qInfo("window picture: %s", qPrintable(path));
    const QPoint origin = a.centralWidget()->mapTo(&a, QPoint()) * picture.devicePixelRatio();
    // The turn marker's purple behind seat 1's name.
    const QColor turn = picture.pixelColor(origin + QPoint(20, 13));
    QVERIFY2(turn.blue() > turn.green() + 40, qPrintable(turn.name()));
}

QTEST_MAIN(TestTable)
#include "tst_table.moc"
