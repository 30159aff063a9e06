#include "client/tablestate.h"

#include <QTest>

// The client's table without widgets: each row plays a few host events on a table where
// Ann sits at seat 1 (her own), Dee at 4 and seat 5 has played this game as the computer.
class TestTableState : public QObject {
    Q_OBJECT
private slots:
    void events_data();
    void events();
    void winnerAndSpies();
};

namespace {
TableState sample()
{
    TableState s;
    s.logIn(1);
    s.seatPlayer(1, "Ann", false);
    s.seatPlayer(4, "Dee", true);
    s.nextTurn(5);
    return s;
}
} // namespace

void TestTableState::events_data()
{
    QTest::addColumn<std::function<QString(TableState&)>>("event");
    QTest::addColumn<int>("seat");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inPlay");
    using E = std::function<QString(TableState&)>;
    QTest::newRow("player leaves: announced, row waits")
        << E([](TableState& s) { return s.leave(4); }) << 4 << "Dee"
        << "<Waiting>" << false;
    QTest::newRow("computer's row leaves: silent, computer stays")
        << E([](TableState& s) { return s.leave(5); }) << 5 << ""
        << "Klick" << true;
    QTest::newRow("person named like the computer leaves: silent") << E([](TableState& s) {
        s.seatPlayer(6, "Krazy", false);
        return s.leave(6);
    }) << 6 << ""
                                                                   << "<Waiting>" << false;
    QTest::newRow("game start: seat 2 to the computer")
        << E([](TableState& s) { return s.startGame(), QString(); }) << 2 << ""
        << "Klot" << true;
    QTest::newRow("round start: a waiting seat asked in plays")
        << E([](TableState& s) { return s.startRound(7, true), QString(); }) << 7 << ""
        << "Kooky" << true;
    QTest::newRow("round start: a person keeps the row, plays at the turn")
        << E([](TableState& s) { return s.startRound(4, true), QString(); }) << 4 << ""
        << "Dee" << false;
    QTest::newRow("round start: the person asked in plays from the turn")
        << E([](TableState& s) { return s.startRound(4, true), s.nextTurn(4), QString(); }) << 4
        << ""
        << "Dee" << true;
    QTest::newRow("player in play leaves: the computer takes the row")
        << E([](TableState& s) { return s.nextTurn(4), s.leave(4); }) << 4 << "Dee"
        << "Kling" << true;
    QTest::newRow("round start: not asked in")
        << E([](TableState& s) { return s.startRound(5, false), QString(); }) << 5 << ""
        << "Klick" << false;
    QTest::newRow("turn of an empty seat goes to the computer")
        << E([](TableState& s) { return s.nextTurn(3), QString::number(s.turnseat()); }) << 3 << "3"
        << "Klick" << true;
    QTest::newRow("no row: nothing")
        << E([](TableState& s) { return s.nextTurn(8), s.leave(0); }) << 8 << ""
        << "" << false;
}

void TestTableState::events()
{
    QFETCH(std::function<QString(TableState&)>, event);
    QFETCH(int, seat);
    TableState s = sample();
    QTEST(event(s), "result");
    QTEST(s.name(seat), "name");
    QTEST(s.seatinplay(seat), "inPlay");
    QCOMPARE(s.watching(seat), seat == 4 && s.name(4) == "Dee");
}

void TestTableState::winnerAndSpies()
{
    TableState s = sample();
    s.scored(4, 120, 20, {1, 2, 3, 4, 5, 6, 7});
    s.setPenalty(1, 10, 30);
    QCOMPARE(s.bonus(4), "+20");
    QCOMPARE(s.bonus(1), "-10");
    s.leave(4);
    // The sheet keeps the name it showed; the details keep the patterns.
    QCOMPARE(s.sheetName(4), "Dee");
    QCOMPARE(s.patterns(4)[6], 7);
    QCOMPARE(s.otherPlayers(), QStringList({"Klick"}));
    QVERIFY(s.hasWon("Ann"));
    QVERIFY(!s.hasWon("Klick"));

    // A spy has no row and never wins; spies go by seat and name.
    s.logIn(8);
    QVERIFY(!s.hasWon(""));
    s.addSpy(8, "Sam");
    s.addSpy(9, "Zed");
    QCOMPARE(s.removeSpy(9, "Ned"), -1);
    QCOMPARE(s.removeSpy(9, "Zed"), 1);
    QCOMPARE(s.spies().size(), 1);
}

QTEST_MAIN(TestTableState)
#include "tst_tablestate.moc"
