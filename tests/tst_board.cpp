#include "client/ballboard.h"
#include "client/bigball.h"
#include "client/cardgrid.h"
#include "client/chosenpanel.h"
#include "client/detailspanel.h"
#include "client/gamepictures.h"
#include "client/scoresheet.h"
#include "client/seatrows.h"
#include "client/winnerbanner.h"
#include "net/messages.h"
#include "support/clienttable.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {
const QColor lavender(194, 164, 204);
const QColor grey(81, 81, 81);

QColor textColour(QWidget* w)
{
    return w->palette().color(QPalette::WindowText);
}
} // namespace

// The board, the cards and the score sheet of one window, fed by a scripted host.
class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void clickMapping_data();
    void clickMapping();
    void revealedBallClickSendsNothing();
    void ballDrawn();
    void zorerAruBall();
    void coversOnlyDrawnNumbersMarkedOnAnswer();
    void sevenBallsLeaveSix();
    void chosenPanelTabsAndMenu();
    void scoreSheetAndDetails();
    void winnerBanner();
    void spyWinnerCountsNothing();
    void lateJoinerCatchesUp();

private:
    Tchat& chat() { return m_ann->chat(); }
    // Sends the host's message to Ann and waits until it has been handled.
    void feed(const QByteArray& wire);
    int sentByAnn() const { return int(m_table->host.received(m_ann->client).size()); }
    std::unique_ptr<ClientTable> m_table;
    ClientTable::Player* m_ann = nullptr;
};

void TestBoard::init()
{
    m_table = std::make_unique<ClientTable>();
    m_ann = m_table->join(QStringLiteral("Ann"), 1);
    QVERIFY(m_ann);
    QVERIFY(m_table->settleAll());
    feed(msg::startgameRelay(QStringLiteral("Ann"), 100));
    feed(msg::roundstart(1, {}));
}

void TestBoard::cleanup()
{
    if (QTest::currentTestFailed() && m_ann)
        chat().grab().save(QStringLiteral(QUORVEL_BINARY_DIR "/tst_board-%1.png")
                               .arg(QString::fromLatin1(QTest::currentTestFunction())));
    m_table.reset();
    m_ann = nullptr;
}

void TestBoard::feed(const QByteArray& wire)
{
    m_table->send(m_ann, wire);
    QVERIFY(m_table->settle(m_ann));
}

void TestBoard::clickMapping_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("position");
    QTest::newRow("top left") << QPoint(5, 5) << 1;
    QTest::newRow("bottom right") << QPoint(315, 355) << 72;
    QTest::newRow("second column") << QPoint(45, 0) << 10;
    QTest::newRow("second row") << QPoint(0, 45) << 2;
}

void TestBoard::clickMapping()
{
    QFETCH(QPoint, point);
    QFETCH(int, position);
    QCOMPARE(BallBoard::positionAt(point), position);
    QTest::mouseClick(chat().board(), Qt::LeftButton, {}, point);
    QVERIFY(m_table->host.waitFor(m_ann->client,
                                  "CMD_chooseball+1+" + QByteArray::number(position) + '+') >= 0);
    // Outside the board nothing maps.
    QCOMPARE(BallBoard::positionAt(QPoint(320, 0)), 0);
    QCOMPARE(BallBoard::positionAt(QPoint(0, 360)), 0);
}

void TestBoard::revealedBallClickSendsNothing()
{
    feed(msg::chooseballReveal(2, 10, 38, 0, 0, 0));
    const QString status = chat().status();
    m_ann->sounds.played.clear();
    QTest::mouseClick(chat().board(), Qt::LeftButton, {}, QPoint(45, 0));
    QCOMPARE(m_ann->sounds.played, QStringList{"invalid"});
    QCOMPARE(chat().status(), status);
    // A later pick arrives alone: the first click sent nothing.
    const int before = sentByAnn();
    QTest::mouseClick(chat().board(), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(m_table->host.waitFor(m_ann->client, "CMD_chooseball+1+1+", before) >= 0);
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_chooseball").size(), 1);
}

void TestBoard::ballDrawn()
{
    m_ann->sounds.played.clear();
    feed(msg::chooseballReveal(2, 10, 38, 0, 0, 0));
    BallBoard* board = chat().board();
    QVERIFY(board->revealed(10));
    QCOMPARE(board->value(10), 38);
    QCOMPARE(BallBoard::cellRect(10), QRect(40, 0, 40, 40));
    // The cell shows the N38 ball, drawn as the picture list draws it.
    QImage expected(40, 40, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::black);
    {
        QPainter p(&expected);
        pictures::paintBall(p, QRectF(0, 0, 40, 40), 38);
    }
    const QImage shown =
        board->grab(QRect(40, 0, 40, 40)).toImage().convertToFormat(expected.format());
    QCOMPARE(shown, expected);
    QCOMPARE(textColour(chat().findChild<QLabel*>("label_choosen38")), lavender);
    QCOMPARE(textColour(chat().findChild<QLabel*>("label_choosen37")), grey);
    QCOMPARE(chat().bigBall()->text(), QStringLiteral("N38"));
    QVERIFY(!chat().bigBall()->bobShown());
    QCOMPARE(chat().status(), QStringLiteral("Ball : N38"));
    QCOMPARE(chat().ballHistory(), (QList<int>{38, 0, 0, 0, 0, 0}));
    QCOMPARE(m_ann->sounds.played, (QStringList{"replace", "selectball"}));
}

void TestBoard::zorerAruBall()
{
    feed(msg::newplayerinfo(3, QStringLiteral("Cid")));
    m_ann->sounds.played.clear();
    feed(msg::chooseballReveal(3, 20, 77, 2, 25, 10));
    SeatRows* rows = chat().seatRows();
    QCOMPARE(chat().bobCounter(), 2);
    QVERIFY(chat().bigBall()->bobShown());
    QCOMPARE(chat().bigBall()->text(), QString());
    QCOMPARE(chat().status(), QStringLiteral("Zorer Aru!"));
    QCOMPARE(rows->bonus(3), QStringLiteral("-10"));
    QCOMPARE(rows->score(3), QStringLiteral("25"));
    QCOMPARE(chat().ballHistory().first(), 77);
    QCOMPARE(m_ann->sounds.played, (QStringList{"roundover", "selectball"}));
    // The next ordinary ball empties the bonus and leaves the score.
    feed(msg::chooseballReveal(1, 21, 5, 2, 0, 10));
    QCOMPARE(rows->bonus(3), QString());
    QCOMPARE(rows->score(3), QStringLiteral("25"));
    QVERIFY(!chat().bigBall()->bobShown());
    QCOMPARE(chat().bigBall()->text(), QStringLiteral("B5"));
    // Without a penalty neither label changes.
    feed(msg::chooseballReveal(3, 22, 77, 3, 99, 0));
    QCOMPARE(chat().bobCounter(), 3);
    QVERIFY(chat().bigBall()->bobShown());
    QCOMPARE(rows->bonus(3), QString());
    QCOMPARE(rows->score(3), QStringLiteral("25"));
    // A value that is no ball, and a position off the board, change nothing.
    feed(msg::chooseballReveal(3, 23, 80, 3, 0, 0));
    feed(msg::chooseballReveal(3, 73, 9, 3, 0, 0));
    QVERIFY(!chat().board()->revealed(23));
    QCOMPARE(chat().ballHistory().first(), 77);
}

void TestBoard::coversOnlyDrawnNumbersMarkedOnAnswer()
{
    feed(msg::myboard(1, dealtCards()));
    QLabel* cell251 = chat().findChild<QLabel*>("label_card251");
    QCOMPARE(cell251->text(), QStringLiteral("66"));
    feed(msg::chooseballReveal(2, 30, 66, 0, 0, 0));

    // Numbers not drawn, the free centre: answered here, nothing sent.
    for (const char* name : {"label_card111", "label_card133", "label_card255"}) {
        chat().setStatus(QString());
        QTest::mouseClick(chat().findChild<QLabel*>(name), Qt::LeftButton);
        QCOMPARE(chat().status(), QStringLiteral("That number has not been choosen."));
    }
    // Only the left button clicks a cell.
    chat().setStatus(QString());
    QTest::mouseClick(cell251, Qt::RightButton);
    QTest::mouseClick(chat().findChild<QLabel*>("label_card111"), Qt::MiddleButton);
    QCOMPARE(chat().status(), QString());
    QTest::mouseClick(cell251, Qt::LeftButton);
    QVERIFY(m_table->host.waitFor(m_ann->client, "CMD_cover+") >= 0);
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_cover+"),
             (QByteArrayList{"CMD_cover+1+2+51+"}));
    // Not marked until the host says so, and not by another seat's cover.
    QCOMPARE(cell251->text(), QStringLiteral("66"));
    feed(msg::coverit(2, 2, 5, 1));
    QCOMPARE(cell251->text(), QStringLiteral("66"));
    m_ann->sounds.played.clear();
    feed(msg::coverit(1, 2, 5, 1));
    QCOMPARE(cell251->text(), QStringLiteral("X"));
    QCOMPARE(textColour(cell251), QColor(255, 0, 0));
    QCOMPARE(chat().cards()->cellNumber(2, 5, 1), 0);
    QCOMPARE(m_ann->sounds.played, QStringList{"selectnum"});
    // A covered cell no longer matches; a cell that does not exist is ignored.
    chat().setStatus(QString());
    QTest::mouseClick(cell251, Qt::LeftButton);
    QCOMPARE(chat().status(), QStringLiteral("That number has not been choosen."));
    feed(msg::coverit(1, 3, 1, 1));
    // After a round start the emptied cells match nothing.
    feed(msg::roundstart(2, {}));
    chat().setStatus(QString());
    QTest::mouseClick(chat().findChild<QLabel*>("label_card111"), Qt::LeftButton);
    QCOMPARE(chat().status(), QStringLiteral("That number has not been choosen."));
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_cover+").size(), 1);
}

void TestBoard::sevenBallsLeaveSix()
{
    for (int i = 1; i <= 7; ++i)
        feed(msg::chooseballReveal(2, i, i * 10, 0, 0, 0));
    QCOMPARE(chat().ballHistory(), (QList<int>{70, 60, 50, 40, 30, 20}));
    feed(msg::roundstart(2, {}));
    QCOMPARE(chat().ballHistory(), (QList<int>{0, 0, 0, 0, 0, 0}));
    QVERIFY(!chat().board()->revealed(1));
    QCOMPARE(chat().board()->value(1), pictures::hiddenBall);
    QCOMPARE(textColour(chat().findChild<QLabel*>("label_choosen70")), grey);
}

void TestBoard::chosenPanelTabsAndMenu()
{
    auto* panel = chat().chosenPanel();
    auto* open = chat().findChild<QAbstractButton*>("button_open");
    auto* close = chat().findChild<QAbstractButton*>("button_close");
    auto* item = chat().findChild<QAction*>("ChoosenBingoBalls1");
    QVERIFY(panel->isHidden() && !item->isChecked() && !open->isHidden() && close->isHidden());
    item->trigger();
    QVERIFY(!panel->isHidden() && item->isChecked() && open->isHidden() && !close->isHidden());
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(panel->isHidden() && !item->isChecked() && !open->isHidden() && close->isHidden());
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(!panel->isHidden() && item->isChecked());
    item->trigger();
    QVERIFY(panel->isHidden() && !item->isChecked());
}

void TestBoard::scoreSheetAndDetails()
{
    feed(msg::newplayerinfo(2, QStringLiteral("Bob")));
    feed(msg::newplayerinfo(4, QStringLiteral("Dee")));
    feed(msg::nextplayer(4));
    chat().findChild<QAction*>("ChoosenBingoBalls1")->trigger();
    m_ann->sounds.played.clear();
    feed(msg::scores({{1, 45, 15, {15, 0, 0, 0, 0, 0, 0}},
                      {2, 30, 10, {10, 0, 0, 0, 0, 0, 0}},
                      {4, 60, 24, {14, 10, 0, 0, 0, 0, 0}}}));
    ScoreSheet* sheet = chat().scoreSheet();
    QVERIFY(!sheet->isHidden());
    QVERIFY(chat().chosenPanel()->isHidden());
    QCOMPARE(sheet->name(1), QStringLiteral("Ann"));
    QCOMPARE(sheet->result(1), QStringLiteral("45 +15"));
    QCOMPARE(sheet->name(4), QStringLiteral("Dee"));
    QCOMPARE(sheet->result(4), QStringLiteral("60 +24"));
    for (int seat : {1, 2, 4})
        QVERIFY(sheet->arrowShown(seat));
    for (int seat : {3, 5, 6, 7}) {
        QVERIFY(!sheet->arrowShown(seat));
        QCOMPARE(sheet->name(seat), QString());
        QCOMPARE(sheet->result(seat), QString());
    }
    QCOMPARE(chat().seatRows()->bonus(2), QStringLiteral("+10"));
    QCOMPARE(chat().seatRows()->score(4), QStringLiteral("60"));
    QCOMPARE(chat().status(), QStringLiteral("Posting Scores.. Please Wait."));
    QCOMPARE(m_ann->sounds.played, QStringList{"roundover"});

    // Dee leaves; the details name the row as it is now.
    feed(msg::playerdisconnected(4, QStringLiteral("Dee")));
    QTest::mouseClick(chat().findChild<QAbstractButton*>("image_more4"), Qt::LeftButton);
    DetailsPanel* details = chat().detailsPanel();
    QVERIFY(!details->isHidden());
    QCOMPARE(details->lines(), (QStringList{"Covered: 14", "Lines: 10"}));
    QCOMPARE(details->name(), QStringLiteral("Kling"));
    QCOMPARE(details->y(), sheet->y() + 109);
    QCOMPARE(details->x(), 316);
    auto* close = chat().findChild<QAbstractButton*>("FlatButton1");
    QCOMPARE(close->grab().toImage().pixelColor(2, close->height() / 2), pictures::darkPurple);
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(details->isHidden());
    QVERIFY(!sheet->isHidden());
    QTest::mouseClick(chat().findChild<QAbstractButton*>("image_more1"), Qt::LeftButton);
    QCOMPARE(details->lines(), QStringList{"Covered: 15"});
    QCOMPARE(details->y(), sheet->y() + 42);
    QTest::mouseClick(chat().findChild<QAbstractButton*>("button_ok"), Qt::LeftButton);
    QVERIFY(details->isHidden());
    QVERIFY(sheet->isHidden());

    // A seat above 7 is skipped; the round start hides the sheet again.
    feed(msg::scores({{8, 1, 1, {}}, {2, 31, 1, {1, 0, 0, 0, 0, 0, 0}}}));
    QVERIFY(!sheet->arrowShown(1));
    QVERIFY(sheet->arrowShown(2));
    feed(msg::roundstart(2, {}));
    QVERIFY(sheet->isHidden());
}

void TestBoard::winnerBanner()
{
    QSignalSpy counted(&chat(), &Tchat::gameCounted);
    m_ann->sounds.played.clear();
    chat().findChild<QAction*>("ChoosenBingoBalls1")->trigger();
    feed(msg::winner(QStringLiteral("Ann")));
    WinnerBanner* banner = chat().winnerBanner();
    QVERIFY(!banner->isHidden());
    QCOMPARE(banner->text(), QStringLiteral("You have Won the Game!"));
    QCOMPARE(chat().status(), QStringLiteral("Game Over!"));
    QCOMPARE(chatLines(chat()).last(), QStringLiteral("You have Won the Game!"));
    QCOMPARE(m_ann->sounds.played, QStringList{"winner"});
    QVERIFY(chat().chosenPanel()->isHidden());
    QCOMPARE(counted.size(), 1);
    QCOMPARE(counted.at(0).at(0).toString(), QStringLiteral("addtomine"));
    // Not the hosting copy: the start button stays hidden.
    QVERIFY(chat().centralWidget()->findChild<QWidget*>("button_start")->isHidden());

    feed(msg::startgameRelay(QStringLiteral("Ann"), 50));
    QVERIFY(banner->isHidden());
    feed(msg::winner(QStringLiteral("Klot")));
    QCOMPARE(banner->text(), QStringLiteral("Klot has Won the Game!"));
    QCOMPARE(chatLines(chat()).last(), QStringLiteral("Klot has Won the Game!"));
    QCOMPARE(counted.size(), 2);
    QCOMPARE(counted.at(1).at(0).toString(), QStringLiteral("Klot"));
}

void TestBoard::spyWinnerCountsNothing()
{
    ClientTable::Player* spy = m_table->join(QStringLiteral("Eve"), 8);
    QVERIFY(spy);
    QVERIFY(m_table->settleAll());
    QSignalSpy counted(&spy->chat(), &Tchat::gameCounted);
    spy->sounds.played.clear();
    m_table->send(spy, msg::winner(QStringLiteral("Eve")));
    QVERIFY(m_table->settle(spy));
    QCOMPARE(spy->chat().winnerBanner()->text(), QStringLiteral("Eve has Won the Game!"));
    QVERIFY(!spy->chat().winnerBanner()->isHidden());
    QCOMPARE(spy->chat().status(), QStringLiteral("Game Over!"));
    QCOMPARE(chatLines(spy->chat()).last(), QStringLiteral("Eve has Won the Game!"));
    QCOMPARE(spy->sounds.played, QStringList{"winner"});
    QCOMPARE(counted.size(), 0);
}

void TestBoard::lateJoinerCatchesUp()
{
    chat().setStatus(QStringLiteral("Bob's turn."));
    QList<msg::Revealed> revealed;
    for (int i = 1; i <= 20; ++i)
        revealed.append({i * 3, i == 7 ? 77 : i});
    feed(msg::gamestats(4, 2, 120, {10, 20, 30, 40, 50, 60, 70}, revealed));
    for (const msg::Revealed& r : revealed) {
        QVERIFY(chat().board()->revealed(r.position));
        QCOMPARE(chat().board()->value(r.position), r.value);
    }
    QVERIFY(!chat().board()->revealed(2));
    for (int seat = 1; seat <= 7; ++seat)
        QCOMPARE(chat().seatRows()->score(seat), QString::number(seat * 10));
    QCOMPARE(chat().findChild<QLabel*>("label_playtoscore")->text(),
             QStringLiteral("Play To Score: 120"));
    QCOMPARE(chat().bobCounter(), 2);
    QCOMPARE(chat().getTurnseat(), 4);
    QCOMPARE(chat().status(), QStringLiteral("Bob's turn."));
    // The history and the chosen-balls panel fill from the next ball on.
    QCOMPARE(chat().ballHistory().first(), 0);
    QVERIFY(!chat().chosenPanel()->isChosen(1));
}

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
