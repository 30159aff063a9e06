#include "app/program.h"
#include "client/ballboard.h"
#include "client/cardgrid.h"
#include "client/gamestartform.h"
#include "client/playingsurface.h"
#include "client/scoresheet.h"
#include "client/seatrows.h"
#include "client/winnerbanner.h"
#include "support/files.h"
#include "support/recordingreporter.h"
#include "support/recordingsoundplayer.h"
#include "support/settingsfolder.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

// A whole solo game played through the window as a person plays it: start, pick balls on
// the own turns, cover every drawn number, read the scores, see the winner, start again.
// Counts the score sheet's showings as they happen, however short: with no delay between
// rounds the next round may hide the sheet before the playing loop looks again.
class SheetShowings : public QObject {
public:
    explicit SheetShowings(ScoreSheet* sheet) : QObject(sheet) { sheet->installEventFilter(this); }
    int shown = 0;
    int withoutBothArrows = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* sheet = static_cast<ScoreSheet*>(watched);
            ++shown;
            withoutBothArrows += !(sheet->arrowShown(1) && sheet->arrowShown(2));
        }
        return false;
    }
};

class TestSoloGame : public QObject {
    Q_OBJECT
private slots:
    void wholeGameByClicks();

private:
    // Clicks whatever a player would click now; true once the winner banner shows.
    void playUntilWinner(Tchat& chat, int* roundsScored);
    void startFromDialog(Program& program);
};

void TestSoloGame::startFromDialog(Program& program)
{
    auto* start = program.chat().centralWidget()->findChild<QAbstractButton*>("button_start");
    QTRY_VERIFY_WITH_TIMEOUT(start->isVisible(), 10000);
    QTest::mouseClick(start, Qt::LeftButton);
    Tgamestart& dialog = program.gamestart();
    QTRY_VERIFY(dialog.isVisible());
    dialog.setPlayToScore(51);
    QTest::mouseClick(dialog.findChild<QPushButton*>("button_start"), Qt::LeftButton);
    QTRY_VERIFY(!dialog.isVisible());
}

void TestSoloGame::playUntilWinner(Tchat& chat, int* roundsScored)
{
    BallBoard* board = chat.surface().board();
    CardGrid* cards = chat.surface().cards();
    WinnerBanner* banner = chat.surface().winnerBanner();
    ScoreSheet* sheet = chat.surface().scoreSheet();
    QSet<int> asked; // cells whose cover was asked for, as tag × 100 + number
    quint64 pickedAt = 0;
    bool sheetShown = false;
    auto* showings = new SheetShowings(sheet);
    QDeadlineTimer deadline(240000);
    while (banner->isHidden()) {
        QVERIFY2(!deadline.hasExpired(), qPrintable(chat.surface().status()));
        if (!sheet->isHidden() && !sheetShown)
            QTest::mouseClick(sheet->findChild<QAbstractButton*>("button_ok"), Qt::LeftButton);
        sheetShown = !sheet->isHidden();
        // One pick per turn: another only once the window has heard from the host.
        // A refused pick (a second click that crossed the host's answer) leaves the turn
        // with us, as for a person, who then clicks another ball.
        const QString status = chat.surface().status();
        const bool mayPick = status == QLatin1String("Your Turn.") ||
                             status == QLatin1String("Ball has already been choosen.") ||
                             status == QLatin1String("Invalid Choice.");
        if (chat.state().turnseat() == chat.state().ownSeat() && mayPick &&
            chat.dispatchedMessages() != pickedAt) {
            for (int p = 1; p <= BallBoard::positions; ++p) {
                if (!board->revealed(p)) {
                    QTest::mouseClick(board, Qt::LeftButton, {}, BallBoard::cellRect(p).center());
                    break;
                }
            }
            pickedAt = chat.dispatchedMessages();
        }
        for (int c = 1; c <= CardGrid::cards; ++c)
            for (int x = 1; x <= CardGrid::size; ++x)
                for (int y = 1; y <= CardGrid::size; ++y) {
                    const int number = cards->cellNumber(c, x, y);
                    const int key = CardGrid::tag(c, x, y) * 100 + number;
                    if (number != 0 && board->isDrawn(number) && !asked.contains(key)) {
                        asked.insert(key);
                        QTest::mouseClick(cards->cell(c, x, y), Qt::LeftButton);
                    }
                }
        QTest::qWait(2);
    }
    *roundsScored = showings->shown;
    QCOMPARE(showings->withoutBothArrows, 0);
}

void TestSoloGame::wholeGameByClicks()
{
    QTcpServer lobby;
    QVERIFY(lobby.listen(QHostAddress::LocalHost, 0));
    LaunchOptions options = isolatedOptions();
    options.gamePort = 0;
    options.lobbyPort = lobby.serverPort();
    // Only seat 2 for the computer: without a settings file the game would fill seats 2 to 7.
    writeFile(options.settingsFolder + QStringLiteral("/orsklobby.ini"),
              "[Quorvel]\r\nBotcount=1\r\n");
    HostSettings fast;
    fast.botSpeedMs = [] { return 1; };
    fast.secondsBetweenRounds = [] { return 0; };
    RecordingReporter errors;
    RecordingSoundPlayer sounds;
    Program program(options, &errors, &sounds, fast);
    Tchat& chat = program.chat();
    QSignalSpy counted(&chat, &Tchat::gameCounted);
    chat.show();
    QTRY_VERIFY_WITH_TIMEOUT(chat.state().loggedIn(), 10000);
    QTRY_COMPARE(chat.surface().seatRows()->name(1), QStringLiteral("You"));

    startFromDialog(program);
    int rounds = 0;
    playUntilWinner(chat, &rounds);
    if (QTest::currentTestFailed()) {
        chat.grab().save(QStringLiteral(QUORVEL_BINARY_DIR "/tst_sologame-failed.png"));
        return;
    }
    QVERIFY(rounds >= 1);
    QCOMPARE(chat.surface().status(), QStringLiteral("Game Over!"));
    const QString banner = chat.surface().winnerBanner()->text();
    QVERIFY(banner == QLatin1String("You have Won the Game!") ||
            banner == QLatin1String("Klot has Won the Game!"));
    QCOMPARE(counted.size(), 1);
    QCOMPARE(counted.at(0).at(0).toString(), banner.startsWith(QLatin1String("You"))
                                                 ? QStringLiteral("addtomine")
                                                 : QStringLiteral("Klot"));
    chat.grab().save(QStringLiteral(QUORVEL_BINARY_DIR "/tst_sologame-end.png"));
    // The tally counted the game.
    const bool won = banner.startsWith(QLatin1String("You"));
    QCOMPARE(program.tally().findChild<QLabel*>("label_total1")->text(), QStringLiteral("1"));
    QCOMPARE(program.tally().findChild<QLabel*>("label_total2")->text(),
             won ? QStringLiteral("1") : QStringLiteral("0"));

    // The hosting copy offers the next game at once.
    startFromDialog(program);
    QTRY_VERIFY_WITH_TIMEOUT(chat.surface().winnerBanner()->isHidden(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(chat.surface().cards()->cellNumber(1, 1, 1) != 0, 10000);
    QVERIFY(errors.errors.isEmpty());
}

QTEST_MAIN(TestSoloGame)
#include "tst_sologame.moc"
