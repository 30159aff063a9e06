#include "net/dispatcher.h"
#include "net/dispatchpump.h"
#include "net/fields.h"
#include "net/framereader.h"
#include "net/messages.h"
#include "support/recordingreporter.h"
#include "support/wire.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

msg::CardCells countingCells()
{
    msg::CardCells cells{};
    int n = 1;
    for (auto& card : cells)
        for (auto& column : card)
            for (int& cell : column)
                cell = n++;
    return cells;
}

// What the receiving side's dispatcher hands a handler: the first frame, after its name.
QByteArray bodyOf(const QByteArray& wire)
{
    const QByteArray text = FrameReader().feed(wire).value(0);
    return text.mid(text.indexOf('+') + 1);
}

// A builder's bytes, and whether its message's parse() gives back what was built.
template <class Message>
void row(const char* name, const QByteArray& built, const QByteArray& expected,
         const Message& typed)
{
    QTest::newRow(name) << built << expected << (Message::parse(bodyOf(built)) == typed);
}

void row(const char* name, const QByteArray& built, const QByteArray& expected)
{
    QTest::newRow(name) << built << expected << true;
}
} // namespace

class TestNet : public QObject {
    Q_OBJECT
private slots:
    void framing_data();
    void framing();
    void framingKeepsTailAcrossReads();
    void framingOverflow();

    void fieldNumbers_data();
    void fieldNumbers();
    void fieldsLeftToRight();

    void dispatchOrderAndCase();
    void dispatchCutsLongEntries();
    void dispatchReportsFieldErrorsAndGoesOn();

    void pumpOneMessagePerTick();
    void pumpIdlesWithoutWork();
    void pumpPaceOnTheTimer();
    void pumpTakesConnectionsInTurn();

    void builders_data();
    void builders();
    void parseRefusesBadFields();
    void readingListMessages();
};

void TestNet::framing_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArrayList>("messages");

    QTest::newRow("two in one read")
        << QByteArrayList{"CMD_nextplayer+2+" + FF + "CMD_chooseball+2+5+33+0+0+10+" + FF}
        << QByteArrayList{"CMD_nextplayer+2+", "CMD_chooseball+2+5+33+0+0+10+"};
    QTest::newRow("split over three reads") << QByteArrayList{"CMD_ch", "at+1+hel", "lo|clRed" + FF}
                                            << QByteArrayList{"CMD_chat+1+hello|clRed"};
    QTest::newRow("no terminator queues nothing")
        << QByteArrayList{"CMD_full+"} << QByteArrayList{};
    QTest::newRow("empty message") << QByteArrayList{FF + FF} << QByteArrayList{"", ""};
    // A line break inside a frame must not let a chat text smuggle in a second message.
    QTest::newRow("CR LF stays inside its frame")
        << QByteArrayList{"CMD_chat+2+hi\r\nCMD_kickhim+1+3+|clRed" + FF}
        << QByteArrayList{"CMD_chat+2+hi\r\nCMD_kickhim+1+3+|clRed"};
    QTest::newRow("terminator split from its message")
        << QByteArrayList{"CMD_full+", FF} << QByteArrayList{"CMD_full+"};
}

void TestNet::framing()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArrayList, messages);
    FrameReader reader;
    QByteArrayList got;
    for (const QByteArray& read : reads)
        got += reader.feed(read);
    QCOMPARE(got, messages);
    QVERIFY(!reader.overflowed());
}

void TestNet::framingKeepsTailAcrossReads()
{
    FrameReader reader;
    QCOMPARE(reader.feed("CMD_a+1" + FF + "CMD_b+"), QByteArrayList{"CMD_a+1"});
    QCOMPARE(reader.pending(), 6);
    QCOMPARE(reader.feed("2" + FF), QByteArrayList{"CMD_b+2"});
    QCOMPARE(reader.pending(), 0);
}

void TestNet::framingOverflow()
{
    FrameReader reader;
    const QByteArray chunk(32768, 'a');
    reader.feed(chunk);
    QVERIFY(!reader.overflowed());
    reader.feed(chunk);
    QVERIFY(!reader.overflowed()); // exactly 64 KiB is still allowed
    reader.feed("a");
    QVERIFY(reader.overflowed());
    QCOMPARE(reader.pending(), 0);
    // What follows a discarded tail is read normally again.
    QCOMPARE(reader.feed("b" + FF + "CMD_x+1" + FF), (QByteArrayList{"b", "CMD_x+1"}));
}

void TestNet::fieldNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << QByteArray("17") << true << 17;
    QTest::newRow("negative") << QByteArray("-6") << true << -6;
    QTest::newRow("plus sign") << QByteArray("+3") << true << 3;
    QTest::newRow("int max") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("int min") << QByteArray("-2147483648") << true << int(-2147483647 - 1);
    QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("letters") << QByteArray("x") << false << 0;
    QTest::newRow("trailing junk") << QByteArray("12a") << false << 0;
    QTest::newRow("sign alone") << QByteArray("-") << false << 0;
    QTest::newRow("blank") << QByteArray(" 1") << false << 0;
}

void TestNet::fieldNumbers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    int parsed = 0;
    QCOMPARE(Fields::parseNumber(text, &parsed), valid);
    if (valid)
        QCOMPARE(parsed, value);
    else if (!text.contains('+'))
        QVERIFY_THROWS_EXCEPTION(FieldError, Fields(text + "+rest").number());
}

void TestNet::fieldsLeftToRight()
{
    Fields f("3+Ann chats: a+b|clRed");
    QCOMPARE(f.number(), 3);
    QCOMPARE(f.rest(), QByteArray("Ann chats: a+b|clRed"));
    QCOMPARE(f.text(), QStringLiteral("Ann chats: a"));
    QCOMPARE(f.field(), QByteArray("b|clRed"));
    QVERIFY(f.atEnd());
    QCOMPARE(f.field(), QByteArray());
    Fields trailing("7+");
    QCOMPARE(trailing.number(), 7);
    QVERIFY(trailing.atEnd());
}

void TestNet::dispatchOrderAndCase()
{
    RecordingReporter errors;
    Dispatcher d(&errors);
    QStringList calls;
    d.add("CMD_b", [&](const QByteArray& body) { calls << "b1:" + QString::fromUtf8(body); });
    d.add("CMD_a", [&](const QByteArray& body) { calls << "a:" + QString::fromUtf8(body); });
    d.add("CMD_b", [&](const QByteArray& body) { calls << "b2:" + QString::fromUtf8(body); });

    QVERIFY(d.dispatch("CMD_b+x+y"));
    QCOMPARE(calls, (QStringList{"b1:x+y", "b2:x+y"}));
    calls.clear();
    QVERIFY(!d.dispatch("CMD_A+1")); // case-sensitive
    QVERIFY(!d.dispatch("CMD_a"));   // no "+": empty name
    QVERIFY(!d.dispatch(""));
    QVERIFY(!d.dispatch("+CMD_a+1")); // empty name
    QVERIFY(!d.dispatch("CMD_ab+1"));
    QVERIFY(calls.isEmpty());
    QVERIFY(d.dispatch("CMD_a+"));
    QCOMPARE(calls, QStringList{"a:"});
    QVERIFY(errors.errors.isEmpty());
}

void TestNet::dispatchCutsLongEntries()
{
    Dispatcher d(nullptr);
    QByteArray seen;
    d.add("CMD_chat", [&](const QByteArray& body) { seen = body; });
    d.dispatch("CMD_chat+" + QByteArray(5000, 'z'));
    QCOMPARE(seen.size(), Dispatcher::maxEntry - qsizetype(sizeof("CMD_chat+") - 1));
}

void TestNet::dispatchReportsFieldErrorsAndGoesOn()
{
    RecordingReporter errors;
    Dispatcher d(&errors);
    int done = 0;
    d.add("CMD_x", [&](const QByteArray& body) {
        Fields f(body);
        f.number();
        ++done;
    });
    d.dispatch("CMD_x+abc");
    QCOMPARE(errors.errors, QStringList{"'abc' is not a valid integer value"});
    QCOMPARE(done, 0);
    d.dispatch("CMD_x+5");
    QCOMPARE(done, 1);
}

void TestNet::pumpOneMessagePerTick()
{
    QByteArrayList handled;
    DispatchPump pump(1000, [&](const QueuedMessage& m) { handled << m.text; });
    pump.push({"one", 0});
    pump.push({"two", 0});
    pump.push({QByteArray(5000, 'x'), 0});
    // Nothing is handled inside push: only from the event loop.
    QVERIFY(handled.isEmpty());
    QTRY_COMPARE(handled.size(), 1); // the first goes at once after a quiet spell
    QCOMPARE(handled.at(0), QByteArray("one"));
    pump.tick();
    QCOMPARE(handled.size(), 2);
    pump.tick();
    QCOMPARE(handled.at(2).size(), Dispatcher::maxEntry);
    pump.tick(); // an empty queue changes nothing
    QCOMPARE(handled.size(), 3);
}

void TestNet::pumpIdlesWithoutWork()
{
    int handled = 0;
    DispatchPump pump(1, [&](const QueuedMessage&) { ++handled; });
    QVERIFY(!pump.ticking());
    pump.push({"a", 0});
    QTRY_COMPARE(handled, 1);
    QTRY_VERIFY(!pump.ticking());
}

// At most one message per tick, on the real timer: a message that comes right after the
// queue has drained waits for the next tick; one after a quiet spell goes at once.
void TestNet::pumpPaceOnTheTimer()
{
    const int interval = 300;
    QElapsedTimer clock;
    QList<qint64> handledAt;
    DispatchPump pump(interval, [&](const QueuedMessage&) { handledAt << clock.elapsed(); });
    clock.start();
    pump.push({"a", 0});
    QCoreApplication::processEvents(); // one pass of the event loop: no timer can be due
    QCOMPARE(handledAt.size(), 1);
    pump.push({"b", 0});
    QTRY_COMPARE_WITH_TIMEOUT(handledAt.size(), 2, 10000);
    QVERIFY2(handledAt[1] - handledAt[0] >= interval * 9 / 10,
             qPrintable(QStringLiteral("%1 ms apart").arg(handledAt[1] - handledAt[0])));
    QTRY_VERIFY(clock.elapsed() - handledAt[1] > interval);
    pump.push({"c", 0});
    QCoreApplication::processEvents();
    QCOMPARE(handledAt.size(), 3);
}

// Each tick takes the next connection that has messages waiting, so a busy one cannot
// hold up the others; each connection's messages keep their order, one per tick in all.
void TestNet::pumpTakesConnectionsInTurn()
{
    const int interval = 200;
    QElapsedTimer clock;
    QByteArrayList handled;
    QList<qint64> handledAt;
    DispatchPump pump(interval, [&](const QueuedMessage& m) {
        handled << QByteArray::number(m.sender) + m.text;
        handledAt << clock.elapsed();
    });
    clock.start();
    for (const char* text : {"a", "b", "c", "d"})
        pump.push({text, 1});
    pump.push({"a", 2});
    pump.push({"b", 2});
    pump.push({"a", 3});
    pump.push({"a", 4});
    pump.drop(4); // its connection closed
    QCOMPARE(pump.size(), 7);
    QCOMPARE(pump.size(1), 4);
    QTRY_COMPARE_WITH_TIMEOUT(handled.size(), 7, 20000);
    QCOMPARE(handled, (QByteArrayList{"1a", "2a", "3a", "1b", "2b", "1c", "1d"}));
    for (int i = 1; i < handledAt.size(); ++i)
        QVERIFY2(handledAt[i] - handledAt[i - 1] >= interval * 9 / 10,
                 qPrintable(QStringLiteral("%1 ms apart").arg(handledAt[i] - handledAt[i - 1])));
    QCOMPARE(pump.size(), 0);
}

void TestNet::builders_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("readsBack");
    const std::array<int, 7> totals{10, -6, 0, 3, 4, 5, 6};
    msg::SeatScore s1{1, 54, 54, {25, 10, 0, 5, 0, 7, 7}};
    msg::SeatScore s4{4, -4, 2, {2, 0, 0, 0, 0, 0, 0}};

    // Each row's message ends with its terminator; the login carries a second one.
    row("logininfo", msg::logininfo(2, "1.0.1", "Ann"), "CMD_logininfo+2+1.0.1+Ann" + FF,
        msg::LoginInfo{2, "1.0.1", "Ann"});
    row("chat", msg::chat(3, "a+b", "clRed"), "CMD_chat+3+a+b|clRed", msg::Relayed{3, "a+b|clRed"});
    row("action", msg::action(3, "says: Wow, WTG!", "$00FF0080"),
        "CMD_action+3+says: Wow, WTG!|$00FF0080", msg::Relayed{3, "says: Wow, WTG!|$00FF0080"});
    row("playasound", msg::playasound(4, 17), "CMD_playasound+4+wave17+",
        msg::Relayed{4, "wave17+"});
    row("startgame", msg::startgame("Ann", "30", "x", "5", 3), "CMD_startgame+Ann+30+x+5+3+",
        msg::StartGame{"Ann", 30, std::nullopt, 5, 3});
    row("justwatch", msg::justwatch(5, 1), "CMD_justwatch+5+1",
        msg::JustWatch{5, msg::JustWatch::watch});
    row("kickhim", msg::kickhim(1, 9), "CMD_kickhim+1+9+", msg::KickHim{1, 9});
    row("chooseball", msg::chooseball(2, 72), "CMD_chooseball+2+72+", msg::ChooseBall{2, 72});
    row("cover", msg::cover(2, 1, 3, 4), "CMD_cover+2+1+34+", msg::Cover{2, {1, 3, 4}});
    row("full", msg::full(), "CMD_full+");
    row("sendlogininfo", msg::sendlogininfo(4), "CMD_sendlogininfo+4", msg::SendLoginInfo{4});
    row("existingplayers", msg::existingplayers({{1, "Host", false}, {3, "Bea", true}}),
        "CMD_existingplayers+1+Host+0+3+Bea+1",
        msg::PlayerList{{{1, "Host", false}, {3, "Bea", true}}});
    row("wrongversion", msg::wrongversion(), "CMD_wrongversion+");
    row("havewrongversion", msg::havewrongversion("Bea"), "CMD_havewrongversion+Bea",
        msg::HaveWrongVersion{"Bea"});
    row("gamestats", msg::gamestats(3, 1, 30, totals, {{5, 38}, {40, 77}}),
        "CMD_gamestats+3+1+30+10+-6+0+3+4+5+6+5+38+40+77",
        msg::GameStats{3, 1, 30, totals, {{5, 38}, {40, 77}}});
    row("invalid", msg::invalid(2, 1), "CMD_invalid+2+1+", msg::Refusal{2, 1});
    row("errored", msg::errored(6), "CMD_errored+6+3+", msg::Refusal{6, 3});
    row("coverit", msg::coverit(2, 2, 5, 1), "CMD_coverit+2+2+5+1+", msg::CoverIt{2, {2, 5, 1}});
    row("newplayerinfo", msg::newplayerinfo(2, "Ann"), "CMD_newplayerinfo+2+Ann+0",
        msg::PlayerList{{{2, "Ann", false}}});
    row("playerdisconnected", msg::playerdisconnected(2, "Ann+x"), "CMD_playerdisconnected+2+Ann+x",
        msg::PlayerDisconnected{2, "Ann+x"});
    row("chat relay", msg::chatRelay(2, "Ann", "hi+there|clBlue"),
        "CMD_chat+2+Ann chats: hi+there|clBlue", msg::ChatLine{2, "Ann chats: hi+there", "clBlue"});
    row("action relay", msg::actionRelay(2, "Ann", "says: GG|clBlue"),
        "CMD_action+2+Ann says: GG|clBlue", msg::ChatLine{2, "Ann says: GG", "clBlue"});
    row("relay without colour", msg::chatRelay(2, "Ann", "hi"), "CMD_chat+2+Ann chats: hi",
        msg::ChatLine{2, "Ann chats: hi", std::nullopt});
    row("playasound relay", msg::playasoundRelay(2, "wave3+"), "CMD_playasound+2+wave3+",
        msg::Sound{2, "wave3"});
    row("justwatching", msg::justwatching(3, 2), "CMD_justwatching+3+2",
        msg::JustWatch{3, msg::JustWatch::play});
    row("startgame relay", msg::startgameRelay("Ann", 30), "CMD_startgame+Ann+30+",
        msg::GameStarted{"Ann", "30"});
    row("roundstart", msg::roundstart(2, {true, false, true, false, false}),
        "CMD_roundstart+2+3+1+4+0+5+1+6+0+7+0",
        msg::RoundStart{2, {{3, true}, {4, false}, {5, true}, {6, false}, {7, false}}});
    row("nextplayer", msg::nextplayer(7), "CMD_nextplayer+7+", msg::NextPlayer{7});
    row("chooseball reveal", msg::chooseballReveal(2, 40, 77, 1, 25, 10),
        "CMD_chooseball+2+40+77+1+25+10+", msg::Reveal{2, 40, 77, 1, 25, 10});
    row("scores", msg::scores({s1, s4}), "CMD_scores+1+54+54+25+10+0+5+0+7+7+4+-4+2+2+0+0+0+0+0+0",
        msg::Scores{{s1, s4}});
    row("winner", msg::winner("Klot"), "CMD_winner+Klot+", msg::Winner{"Klot"});
}

void TestNet::builders()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QFETCH(bool, readsBack);
    QCOMPARE(built, expected + FF);
    QVERIFY(readsBack);
}

// parse() checks the form only; the receiver's dispatcher reports the error.
void TestNet::parseRefusesBadFields()
{
    QVERIFY_THROWS_EXCEPTION(FieldError, msg::ChooseBall::parse("3+x+"));
    QVERIFY_THROWS_EXCEPTION(FieldError, msg::Cover::parse("2+1+x4+"));
    QVERIFY_THROWS_EXCEPTION(FieldError, msg::Cover::parse("2+1+3+")); // no row
    QVERIFY_THROWS_EXCEPTION(FieldError, msg::ChatLine::parse("no seat|clRed"));
    QVERIFY_THROWS_EXCEPTION(FieldError, msg::Scores::parse("1+54+54+25")); // group cut short
    // Out of range is the receiver's business, and a sign is part of a number.
    QCOMPARE(msg::Cover::parse("2+9+1-3+"), (msg::Cover{2, {9, 1, -3}}));
    QCOMPARE(msg::JustWatch::parse("2+01").mode, 0);
    QCOMPARE(msg::StartGame::parse("Ann"), (msg::StartGame{"Ann", {}, {}, {}, {}}));
}

// The list messages are read group by group until the body is used up.
void TestNet::readingListMessages()
{
    const QByteArray board = msg::myboard(3, countingCells());
    QVERIFY(board.startsWith("CMD_myboard+3+1+1+1+1+1+1+2+2+"));
    QVERIFY(board.endsWith("+2+5+5+50" + FF));
    const msg::MyBoard read = msg::MyBoard::parse(bodyOf(board));
    QCOMPARE(read.seat, 3);
    QCOMPARE(read.cells.size(), 50);
    for (const auto& [cell, value] : read.cells)
        QCOMPARE(value, (cell.card - 1) * 25 + (cell.column - 1) * 5 + cell.row);
    // Texts travel as UTF-8, which has no 0xFF byte to break the framing.
    QVERIFY(!msg::chat(1, QStringLiteral("ÿÿ héllo"), "clRed").chopped(1).contains(char(0xFF)));
}

QTEST_GUILESS_MAIN(TestNet)
#include "tst_net.moc"
