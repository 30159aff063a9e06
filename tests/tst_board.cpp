#include "client/ballboard.h"
#include "client/bigball.h"
#include "client/cardgrid.h"
#include "client/chatentry.h"
#include "client/chosenpanel.h"
#include "client/detailspanel.h"
#include "client/gamepictures.h"
#include "client/phrasebuttons.h"
#include "client/playingsurface.h"
#include "client/scoresheet.h"
#include "client/seatrows.h"
#include "client/settings.h"
#include "client/winnerbanner.h"
#include "net/messages.h"
#include "support/clienttable.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QApplication>
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
    void winner_data();
    void winner();
    void lateJoinerCatchesUp();
    void keyboardPath();
    void accessibleNames_data();
    void accessibleNames();

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
    QTest::mouseClick(chat().surface().board(), Qt::LeftButton, {}, point);
    QVERIFY(m_table->host.waitFor(m_ann->client,
                                  "CMD_chooseball+1+" + QByteArray::number(position) + '+') >= 0);
    // The keyboard picks the same ball: arrows from the first ball (at the edge the mark
    // stays), then Space.
    BallBoard* board = chat().surface().board();
    QTest::keyClick(board, Qt::Key_Left);
    QTest::keyClick(board, Qt::Key_Up);
    for (int i = 0; i < (position - 1) / BallBoard::rows; ++i)
        QTest::keyClick(board, Qt::Key_Right);
    for (int i = 0; i < (position - 1) % BallBoard::rows; ++i)
        QTest::keyClick(board, Qt::Key_Down);
    QTest::keyClick(board, Qt::Key_Space);
    QTRY_COMPARE(m_table->host.withPrefix(m_ann->client, "CMD_chooseball").size(), 2);
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_chooseball").at(1),
             m_table->host.withPrefix(m_ann->client, "CMD_chooseball").at(0));
    // Outside the board nothing maps.
    QCOMPARE(BallBoard::positionAt(QPoint(320, 0)), 0);
    QCOMPARE(BallBoard::positionAt(QPoint(0, 360)), 0);
}

void TestBoard::revealedBallClickSendsNothing()
{
    feed(msg::chooseballReveal(2, 10, 38, 0, 0, 0));
    const QString status = chat().surface().status();
    m_ann->sounds.played.clear();
    QTest::mouseClick(chat().surface().board(), Qt::LeftButton, {}, QPoint(45, 0));
    QCOMPARE(m_ann->sounds.played, QStringList{"invalid"});
    QCOMPARE(chat().surface().status(), status);
    // A later pick arrives alone: the first click sent nothing.
    const int before = sentByAnn();
    QTest::mouseClick(chat().surface().board(), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(m_table->host.waitFor(m_ann->client, "CMD_chooseball+1+1+", before) >= 0);
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_chooseball").size(), 1);
}

void TestBoard::ballDrawn()
{
    m_ann->sounds.played.clear();
    feed(msg::chooseballReveal(2, 10, 38, 0, 0, 0));
    BallBoard* board = chat().surface().board();
    QVERIFY(board->revealed(10));
    QCOMPARE(board->value(10), 38);
    // The cell shows the N38 ball, drawn as the picture list draws it.
    QImage expected(40, 40, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::black);
    {
        QPainter p(&expected);
        pictures::paintBall(p, QRectF(0, 0, 40, 40), 38);
    }
    const QImage shown =
        board->grab(BallBoard::cellRect(10)).toImage().convertToFormat(expected.format());
    QCOMPARE(shown, expected);
    QCOMPARE(textColour(chat().findChild<QLabel*>("label_choosen38")), lavender);
    QCOMPARE(textColour(chat().findChild<QLabel*>("label_choosen37")), grey);
    QCOMPARE(chat().surface().bigBall()->text(), QStringLiteral("N38"));
    QVERIFY(!chat().surface().bigBall()->bobShown());
    QCOMPARE(chat().surface().status(), QStringLiteral("Ball : N38"));
    QCOMPARE(chat().surface().ballHistory(), (QList<int>{38, 0, 0, 0, 0, 0}));
    QCOMPARE(m_ann->sounds.played, (QStringList{"replace", "selectball"}));
}

void TestBoard::zorerAruBall()
{
    feed(msg::newplayerinfo(3, QStringLiteral("Cid")));
    m_ann->sounds.played.clear();
    feed(msg::chooseballReveal(3, 20, 77, 2, 25, 10));
    SeatRows* rows = chat().surface().seatRows();
    QCOMPARE(chat().surface().bobCounter(), 2);
    QVERIFY(chat().surface().bigBall()->bobShown());
    QCOMPARE(chat().surface().bigBall()->text(), QString());
    QCOMPARE(chat().surface().status(), QStringLiteral("Zorer Aru!"));
    QCOMPARE(rows->bonus(3), QStringLiteral("-10"));
    QCOMPARE(rows->score(3), QStringLiteral("25"));
    QCOMPARE(chat().surface().ballHistory().first(), 77);
    QCOMPARE(m_ann->sounds.played, (QStringList{"roundover", "selectball"}));
    // The next ordinary ball empties the bonus and leaves the score.
    feed(msg::chooseballReveal(1, 21, 5, 2, 0, 10));
    QCOMPARE(rows->bonus(3), QString());
    QCOMPARE(rows->score(3), QStringLiteral("25"));
    QVERIFY(!chat().surface().bigBall()->bobShown());
    QCOMPARE(chat().surface().bigBall()->text(), QStringLiteral("B5"));
    // Without a penalty neither label changes.
    feed(msg::chooseballReveal(3, 22, 77, 3, 99, 0));
    QCOMPARE(chat().surface().bobCounter(), 3);
    QVERIFY(chat().surface().bigBall()->bobShown());
    QCOMPARE(rows->bonus(3), QString());
    QCOMPARE(rows->score(3), QStringLiteral("25"));
    // A value that is no ball, and a position off the board, change nothing.
    feed(msg::chooseballReveal(3, 23, 80, 3, 0, 0));
    feed(msg::chooseballReveal(3, 73, 9, 3, 0, 0));
    QVERIFY(!chat().surface().board()->revealed(23));
    QCOMPARE(chat().surface().ballHistory().first(), 77);
}

void TestBoard::coversOnlyDrawnNumbersMarkedOnAnswer()
{
    feed(msg::myboard(1, dealtCards()));
    QLabel* cell251 = chat().findChild<QLabel*>("label_card251");
    QCOMPARE(cell251->text(), QStringLiteral("66"));
    feed(msg::chooseballReveal(2, 30, 66, 0, 0, 0));
    // A click answered here: nothing is sent, the status says why.
    const auto refused = [this](QWidget* cell, Qt::Key key = Qt::Key_unknown) {
        chat().surface().setStatus(QString());
        if (key == Qt::Key_unknown)
            QTest::mouseClick(cell, Qt::LeftButton);
        else
            QTest::keyClick(cell, key);
        return chat().surface().status() == QLatin1String("That number has not been choosen.");
    };

    // Numbers not drawn, the free centre.
    for (const char* name : {"label_card111", "label_card133", "label_card255"})
        QVERIFY2(refused(chat().findChild<QLabel*>(name)), name);
    // Only the left button clicks a cell.
    chat().surface().setStatus(QString());
    QTest::mouseClick(cell251, Qt::RightButton);
    QTest::mouseClick(chat().findChild<QLabel*>("label_card111"), Qt::MiddleButton);
    QCOMPARE(chat().surface().status(), QString());
    QTest::mouseClick(cell251, Qt::LeftButton);
    QVERIFY(m_table->host.waitFor(m_ann->client, "CMD_cover+") >= 0);
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_cover+"),
             (QByteArrayList{"CMD_cover+1+2+51+"}));
    // The keyboard covers as the click does: Enter on the first cell (not drawn), then on
    // card 2, column 5, row 1.
    CardGrid* cards = chat().surface().cards();
    QVERIFY(refused(cards, Qt::Key_Enter));
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(cards, Qt::Key_Right);
    QTest::keyClick(cards, Qt::Key_Return);
    QTRY_COMPARE(m_table->host.withPrefix(m_ann->client, "CMD_cover+"),
                 (QByteArrayList{"CMD_cover+1+2+51+", "CMD_cover+1+2+51+"}));
    // Not marked until the host says so, and not by another seat's cover.
    feed(msg::coverit(2, 2, 5, 1));
    QCOMPARE(cell251->text(), QStringLiteral("66"));
    m_ann->sounds.played.clear();
    feed(msg::coverit(1, 2, 5, 1));
    QCOMPARE(cell251->text(), QStringLiteral("X"));
    QCOMPARE(textColour(cell251), QColor(255, 0, 0));
    QCOMPARE(chat().surface().cards()->cellNumber(2, 5, 1), 0);
    QCOMPARE(m_ann->sounds.played, QStringList{"selectnum"});
    // A covered cell no longer matches; a cell that does not exist is ignored.
    QVERIFY(refused(cell251));
    feed(msg::coverit(1, 3, 1, 1));
    // After a round start the emptied cells match nothing.
    feed(msg::roundstart(2, {}));
    QVERIFY(refused(chat().findChild<QLabel*>("label_card111")));
    QCOMPARE(m_table->host.withPrefix(m_ann->client, "CMD_cover+").size(), 2);
}

void TestBoard::sevenBallsLeaveSix()
{
    for (int i = 1; i <= 7; ++i)
        feed(msg::chooseballReveal(2, i, i * 10, 0, 0, 0));
    QCOMPARE(chat().surface().ballHistory(), (QList<int>{70, 60, 50, 40, 30, 20}));
    feed(msg::roundstart(2, {}));
    QCOMPARE(chat().surface().ballHistory(), (QList<int>{0, 0, 0, 0, 0, 0}));
    QVERIFY(!chat().surface().board()->revealed(1));
    QCOMPARE(chat().surface().board()->value(1), pictures::hiddenBall);
    QCOMPARE(textColour(chat().findChild<QLabel*>("label_choosen70")), grey);
}

void TestBoard::chosenPanelTabsAndMenu()
{
    auto* panel = chat().surface().chosenPanel();
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
    ScoreSheet* sheet = chat().surface().scoreSheet();
    // Seats 1 to 7: name and result, ">" where the details arrow shows.
    const auto sheetRows = [sheet] {
        QStringList rows;
        for (int seat = 1; seat <= table::playingSeats; ++seat)
            rows << sheet->name(seat) + ' ' + sheet->result(seat) +
                        (sheet->arrowShown(seat) ? ">" : "");
        return rows.join('|');
    };
    QVERIFY(!sheet->isHidden());
    QVERIFY(chat().surface().chosenPanel()->isHidden());
    QCOMPARE(sheetRows(), QStringLiteral("Ann 45 +15>|Bob 30 +10>| |Dee 60 +24>| | | "));
    QCOMPARE(chat().surface().seatRows()->bonus(2), QStringLiteral("+10"));
    QCOMPARE(chat().surface().seatRows()->score(4), QStringLiteral("60"));
    QCOMPARE(chat().surface().status(), QStringLiteral("Posting Scores.. Please Wait."));
    QCOMPARE(m_ann->sounds.played, QStringList{"roundover"});

    // Dee leaves; the details name the row as it is now.
    feed(msg::playerdisconnected(4, QStringLiteral("Dee")));
    QTest::mouseClick(chat().findChild<QAbstractButton*>("image_more4"), Qt::LeftButton);
    DetailsPanel* details = chat().surface().detailsPanel();
    QVERIFY(!details->isHidden());
    QCOMPARE(details->lines(), (QStringList{"Covered: 14", "Lines: 10"}));
    QCOMPARE(details->name(), QStringLiteral("Kling"));
    QCOMPARE(details->y(), sheet->y() + 109);
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
    QCOMPARE(sheetRows(), QStringLiteral(" |Bob 31 +1>| | | | | "));
    feed(msg::roundstart(2, {}));
    QVERIFY(sheet->isHidden());
}

void TestBoard::winner_data()
{
    QTest::addColumn<int>("seat");
    QTest::addColumn<QString>("winner");
    QTest::addColumn<QString>("banner");
    QTest::addColumn<QStringList>("counted"); // what the tally is told
    QTest::newRow("own") << 1 << "Ann"
                         << "You have Won the Game!" << QStringList{"addtomine"};
    QTest::newRow("other's") << 1 << "Klot"
                             << "Klot has Won the Game!" << QStringList{"Klot"};
    QTest::newRow("a spy's name") << 8 << "Eve"
                                  << "Eve has Won the Game!" << QStringList{};
}

void TestBoard::winner()
{
    QFETCH(int, seat);
    QFETCH(QString, winner);
    QFETCH(QString, banner);
    ClientTable::Player* p = seat == 1 ? m_ann : m_table->join(QStringLiteral("Eve"), seat);
    QVERIFY(p);
    QSignalSpy counted(&p->chat(), &Tchat::gameCounted);
    p->sounds.played.clear();
    p->chat().findChild<QAction*>("ChoosenBingoBalls1")->trigger();
    m_table->send(p, msg::winner(winner));
    PlayingSurface& surface = p->chat().surface();
    QVERIFY(!surface.winnerBanner()->isHidden());
    QCOMPARE(surface.winnerBanner()->text(), banner);
    QCOMPARE(surface.status(), QStringLiteral("Game Over!"));
    QCOMPARE(chatLines(p->chat()).last(), banner);
    QCOMPARE(p->sounds.played, QStringList{"winner"});
    QVERIFY(surface.chosenPanel()->isHidden());
    QStringList told;
    for (const QList<QVariant>& signal : counted)
        told.append(signal.at(0).toString());
    QTEST(told, "counted");
    // Not the hosting copy: the start button stays hidden. The next game hides the banner.
    QVERIFY(p->chat().centralWidget()->findChild<QWidget*>("button_start")->isHidden());
    m_table->send(p, msg::startgameRelay(QStringLiteral("Ann"), 50));
    QVERIFY(surface.winnerBanner()->isHidden());
}

void TestBoard::lateJoinerCatchesUp()
{
    chat().surface().setStatus(QStringLiteral("Bob's turn."));
    QList<msg::Revealed> revealed;
    for (int i = 1; i <= 20; ++i)
        revealed.append({i * 3, i == 7 ? 77 : i});
    feed(msg::gamestats(4, 2, 120, {10, 20, 30, 40, 50, 60, 70}, revealed));
    for (const msg::Revealed& r : revealed) {
        QVERIFY(chat().surface().board()->revealed(r.position));
        QCOMPARE(chat().surface().board()->value(r.position), r.value);
    }
    QVERIFY(!chat().surface().board()->revealed(2));
    for (int seat = 1; seat <= 7; ++seat)
        QCOMPARE(chat().surface().seatRows()->score(seat), QString::number(seat * 10));
    QCOMPARE(chat().findChild<QLabel*>("label_playtoscore")->text(),
             QStringLiteral("Play To Score: 120"));
    QCOMPARE(chat().surface().bobCounter(), 2);
    QCOMPARE(chat().state().turnseat(), 4);
    QCOMPARE(chat().surface().status(), QStringLiteral("Bob's turn."));
    // The history and the chosen-balls panel fill from the next ball on.
    QCOMPARE(chat().surface().ballHistory().first(), 0);
    QVERIFY(!chat().surface().chosenPanel()->isChosen(1));
}

void TestBoard::keyboardPath()
{
    chat().show();
    chat().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&chat()));
    QWidget* entry = chat().findChild<ChatEntry*>();
    // Tab goes board, cards, chat entry; the mark shows only while its grid has the focus.
    chat().surface().board()->setFocus();
    auto* mark = chat().surface().board()->findChild<QWidget*>("focusmark");
    QTRY_VERIFY(mark->isVisible());
    QCOMPARE(mark->geometry(), BallBoard::cellRect(1));
    QTest::keyClick(chat().surface().board(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), chat().surface().cards());
    QVERIFY(!mark->isVisible());
    QVERIFY(chat().surface().cards()->findChild<QWidget*>("focusmark")->isVisible());
    QTest::keyClick(chat().surface().cards(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), entry);
}

void TestBoard::accessibleNames_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<int>("child"); // -1: the object itself
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value"); // checked where the control has one
    const auto row = [](const char* tag, const char* object, int child, const QString& name,
                        const char* value = "") {
        QTest::newRow(tag) << object << child << name << value;
    };
    row("seat row", "label_playername3", -1, "Seat 3, Bob, 14 points, just watching");
    row("turn marker", "image_Turn", -1, "Turn: seat 1, Ann");
    row("hidden ball", "paintbox_board", 11, "hidden ball, column 2, row 3");
    row("revealed ball", "paintbox_board", 9, "N 38");
    row("card cell", "cards", 3, "card 1, B 4");
    row("covered cell", "cards", 45, "card 2, O 66, covered");
    row("free centre", "cards", 12, "card 1, free centre, covered");
    row("big ball", "panel_bigball", -1, "Ball", "N38");
    row("status", "label_status", -1, "Status", "Your Turn.");
    row("score sheet row", "label_name2", -1, "Seat 2, Bob, 30 +10");
    row("details arrow", "image_more2", -1, "Details of seat 2");
    row("phrase button", "b_phrase1", -1, "Phrase 1: " + Settings::builtInPhrases[0]);
    row("phrase field", "phrase1", -1, "Phrase Button 1:");
    row("spy list", "listbox_spys", -1, "Spy List");
}

void TestBoard::accessibleNames()
{
    QFETCH(QString, object);
    QFETCH(int, child);
    QFETCH(QString, name);
    QFETCH(QString, value);
    feed(msg::newplayerinfo(3, QStringLiteral("Bob")));
    feed(msg::myboard(1, dealtCards()));
    feed(msg::chooseballReveal(2, 10, 38, 0, 0, 0));
    feed(msg::coverit(1, 2, 5, 1));
    feed(msg::nextplayer(1));
    chat().surface().seatRows()->setScore(3, QStringLiteral("14"));
    chat().surface().seatRows()->setEyes(3, true);
    chat().surface().scoreSheet()->setRow(2, QStringLiteral("Bob"), QStringLiteral("30 +10"));

    // The side windows are made when first opened.
    m_ann->program->phrases();
    m_ann->program->spylist();
    QAccessibleInterface* iface =
        QAccessible::queryAccessibleInterface(chat().findChild<QObject*>(object));
    QVERIFY(iface);
    if (child >= 0) {
        QCOMPARE(iface->childCount(), object == "cards" ? 50 : 72);
        iface = iface->child(child);
        QVERIFY(iface);
    }
    QCOMPARE(iface->text(QAccessible::Name), name);
    if (!value.isEmpty())
        QCOMPARE(iface->text(QAccessible::Value), value);
}

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
