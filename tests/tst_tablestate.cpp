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
    const auto row = [](const char* title, int seat, const char* result, const char* name,
                        bool inPlay, const E& event) {
        QTest::newRow(title) << event << seat << QString(result) << QString(name) << inPlay;
    };
    row("player leaves: announced, row waits", 4, "Dee", "<Waiting>", false,
        [](TableState& s) { return s.leave(4); });
    row("computer's row leaves: silent, computer stays", 5, "", "Klick", true,
        [](TableState& s) { return s.leave(5); });
    row("person named like the computer leaves: silent", 6, "", "<Waiting>", false,
        [](TableState& s) { return s.seatPlayer(6, "Krazy", false), s.leave(6); });
    row("game start: seat 2 to the computer", 2, "", "Klot", true,
        [](TableState& s) { return s.startGame(), QString(); });
    row("round start: a waiting seat asked in plays", 7, "", "Kooky", true,
        [](TableState& s) { return s.startRound(7, true), QString(); });
    row("round start: a person keeps the row, plays at the turn", 4, "", "Dee", false,
        [](TableState& s) { return s.startRound(4, true), QString(); });
    row("round start: the person asked in plays from the turn", 4, "", "Dee", true,
        [](TableState& s) { return s.startRound(4, true), s.nextTurn(4), QString(); });
    row("player in play leaves: the computer takes the row", 4, "Dee", "Kling", true,
        [](TableState& s) { return s.nextTurn(4), s.leave(4); });
    row("round start: not asked in", 5, "", "Klick", false,
        [](TableState& s) { return s.startRound(5, false), QString(); });
    row("turn of an empty seat goes to the computer", 3, "3", "Klick", true,
        [](TableState& s) { return s.nextTurn(3), QString::number(s.turnseat()); });
    row("no row: nothing", 8, "", "", false,
        [](TableState& s) { return s.nextTurn(8), s.leave(0); });
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
