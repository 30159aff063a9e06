#include "client/chatpanel.h"
#include "client/chatview.h"
#include "client/gamestartform.h"
#include "client/phrasebuttons.h"
#include "client/playingsurface.h"
#include "client/settings.h"
#include "support/copies.h"
#include "support/files.h"
#include "support/finders.h"
#include "support/recordingopener.h"
#include "support/recordingreporter.h"
#include "support/settingsfolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <memory>

namespace {
// The window's height for a requested one: its size includes the menu bar, and the client
// area below it keeps room for the table (530 pixels).
int fitted(Tchat& chat, int height)
{
    return qMax(height, 530 + chat.height() - chat.centralWidget()->height());
}

QStringList captions(QMenu* menu)
{
    QStringList result;
    for (QAction* action : menu->actions())
        result.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}
} // namespace

// The main window's settings file and menus, on a hosting copy at a real host.
class TestMenus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void menuLayout();
    void keysOpenMenus_data();
    void keysOpenMenus();
    void settingsAtLogin_data();
    void settingsAtLogin();
    void menuItemsCheckTagAndSave();
    void botSpeedReachesTheHost();
    void movedWindowIsSaved();
    void oversizedWindowShrinksOneStep();
    void resetScreenLocation();
    void startGame();
    void startGameNotConnected();
    void viewAndHelpItems();

private:
    // A hosting copy with its settings in folder (a fresh one when empty), logged in.
    Program& host(const QString& folder = QString());
    QString iniPath() const { return m_copy->chat().iniPath(); }

    QTcpServer m_lobby;
    RecordingReporter m_errors;
    std::unique_ptr<Copy> m_copy;
};

void TestMenus::initTestCase()
{
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

void TestMenus::cleanup()
{
    m_copy.reset();
}

Program& TestMenus::host(const QString& folder)
{
    m_copy.reset();
    m_copy = startHosting(m_lobby.serverPort(), &m_errors, folder);
    return *m_copy->program;
}

void TestMenus::menuLayout()
{
    Tchat& chat = host().chat();
    const auto menus = chat.menuBar()->actions();
    QStringList titles;
    for (QAction* menu : menus)
        titles.append(menu->text());
    QCOMPARE(titles, (QStringList{"&File", "&Options", "&View", "&Help"}));
    QCOMPARE(captions(menus[0]->menu()),
             (QStringList{"Start Game", "Play with Others...", "-", "Exit"}));
    QCOMPARE(
        captions(menus[1]->menu()),
        (QStringList{"Play Sounds", "Player Phrase Sounds", "Turn Sound", "Bot Speed",
                     "Time Between Round Delay", "-", "Text Color", "Text Size", "Scroll Chat Off",
                     "Clear Main Chat", "Reset Screen Location", "-", "Just Watch"}));
    QCOMPARE(captions(menus[2]->menu()),
             (QStringList{"View Tally", "Spy List", "Phrase List", "Choosen Bingo Balls"}));
    QCOMPARE(captions(menus[3]->menu()), (QStringList{"Content", "-", "About"}));
    QCOMPARE(captions(action(chat, "BotSpeed1")->menu()), (QStringList{"Slow", "Normal", "Fast"}));
    QCOMPARE(captions(action(chat, "TimeBetweenRoundDelay1")->menu()),
             (QStringList{"Short", "Normal", "Long"}));
    QCOMPARE(captions(action(chat, "TurnSound1")->menu()), (QStringList{"Classic", "New"}));
    QCOMPARE(captions(action(chat, "TextSize1")->menu()), (QStringList{"8", "10", "12", "14"}));
    QCOMPARE(action(chat, "Content1")->shortcut(), QKeySequence(Qt::Key_F1));
}

void TestMenus::keysOpenMenus_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("menu");
    QTest::newRow("F10") << QKeyCombination(Qt::Key_F10) << "File1";
    QTest::newRow("Alt+F") << (Qt::ALT | Qt::Key_F) << "File1";
    QTest::newRow("Alt+O") << (Qt::ALT | Qt::Key_O) << "Options1";
    QTest::newRow("Alt+V") << (Qt::ALT | Qt::Key_V) << "View1";
    QTest::newRow("Alt+H") << (Qt::ALT | Qt::Key_H) << "Help1";
}

void TestMenus::keysOpenMenus()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, menu);
    Tchat chat(isolatedOptions(), nullptr);
    chat.show();
    chat.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&chat));
    QTest::keyClick(&chat, key.key(), key.keyboardModifiers());
    QTRY_VERIFY(chat.findChild<QMenu*>(menu)->isVisible());
}

void TestMenus::settingsAtLogin_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QRect>("place"); // null: the window's default place
    QTest::addColumn<QString>("shown");
    // Text size and colour | play to score, penalty, count, game type | bot speed, round
    // delay, turn sound | phrases 3 and 4 | help panel | the checked menu items.
    QTest::newRow("no file")
        << QByteArray() << QRect()
        << "8 #000000 | 30 10 5 3 | 750 15 0 | Nice Try!, Excellent! | help | Classic1 Normal1 "
           "Normal2 PlaySounds1 PlayerPhraseSounds1 TextSize8";
    QTest::newRow("stored")
        << QByteArray("[Other]\r\nkeep=me\r\n[Quorvel]\r\nTextsize=12\r\nTop=40\r\nLeft=50\r\n"
                      "Width=780\r\nHeight=600\r\nTextcolor=clred\r\nPlaytoscore=200\r\nBob=x\r\n"
                      "Bobcount=3\r\nBotcount=2\r\nBotspeed=250\r\nTimedelay=10\r\nTurnsound=1\r\n"
                      "Phrase3=\r\nPhrase4=Hi all\r\nPlaysounds=false\r\n"
                      "Playerphrasesounds=false\r\nHelp=2\r\n")
        << QRect(50, 40, 780, 600)
        << "12 #ff0000 | 200 10 3 2 | 250 10 1 | Nice Try!, Hi all |  | Fast1 New1 Short1 "
           "TextSize12";
    // A text size without an item is applied and checks nothing.
    QTest::newRow("odd values")
        << QByteArray("[Quorvel]\r\nTextsize=11\r\nBotspeed=999\r\n") << QRect()
        << "11 #000000 | 30 10 5 3 | 750 15 0 | Nice Try!, Excellent! | help | Classic1 Normal1 "
           "Normal2 PlaySounds1 PlayerPhraseSounds1";
}

// The settings file is read when the host announces the own seat.
void TestMenus::settingsAtLogin()
{
    QFETCH(QByteArray, ini);
    QFETCH(QRect, place);
    const QString folder = freshSettingsFolder();
    if (!ini.isEmpty())
        writeFile(folder + "/orsklobby.ini", ini);
    Program& program = host(folder);
    Tchat& chat = program.chat();
    if (place.isNull())
        place = QRect(3, 3, 772, fitted(chat, 535));
    QCOMPARE(QRect(chat.pos(), chat.size()), place);
    const Tgamestart& game = program.gamestart();
    const Options& options = chat.options();
    QStringList checked;
    for (QAction* item : chat.findChildren<QAction*>())
        if (item->isChecked())
            checked << item->objectName();
    checked.sort();
    auto* help = chat.findChild<QWidget*>("panel_help");
    const PhraseButtons& phrases = *chat.chatPanel().phraseButtons();
    const QString shown =
        QStringLiteral("%1 %2 | %3 %4 %5 %6 | %7 %8 %9 | %10, %11 | %12 | %13")
            .arg(chat.chatPanel().view()->textSize())
            .arg(chat.chatPanel().chatColour().name())
            .arg(game.playToScore())
            .arg(game.penalty())
            .arg(game.bobCount())
            .arg(game.gameType())
            .arg(options.botSpeedMs)
            .arg(options.secondsBetweenRounds)
            .arg(options.turnSound)
            .arg(phrases.phrase(3), phrases.phrase(4),
                 help->isVisible() ? QStringLiteral("help") : QString(), checked.join(' '));
    QTEST(shown, "shown");
    if (!ini.isEmpty())
        return;
    // Only the first-run marker was written.
    QCOMPARE(iniValue(iniPath(), "Help"), QStringLiteral("2"));
    QCOMPARE(iniValue(iniPath(), "Textsize"), QStringLiteral("<none>"));
    // The help panel never takes a click meant for the cards under it; the click puts it away.
    auto* cell = chat.findChild<QLabel*>("label_card111");
    chat.surface().setStatus(QString());
    QTest::mouseClick(chat.windowHandle(), Qt::LeftButton, {},
                      cell->mapTo(&chat, cell->rect().center()));
    QVERIFY(!help->isVisible());
    QCOMPARE(chat.surface().status(), QStringLiteral("That number has not been choosen."));
}

// Each item saves at once (the file's order and other sections are tst_settings' part, its
// reading settingsAtLogin's); one radio group shows the helper that builds them all.
void TestMenus::menuItemsCheckTagAndSave()
{
    const QString path = host().chat().iniPath();
    Tchat& chat = m_copy->chat();
    action(chat, "PlaySounds1")->trigger();
    QCOMPARE(iniValue(path, "Playsounds"), QStringLiteral("false"));
    action(chat, "PlayerPhraseSounds1")->trigger();
    QCOMPARE(iniValue(path, "Playerphrasesounds"), QStringLiteral("false"));
    action(chat, "PlaySounds1")->trigger();
    QCOMPARE(iniValue(path, "Playsounds"), QStringLiteral("true"));
    action(chat, "New1")->trigger();
    QVERIFY(action(chat, "New1")->isChecked());
    QVERIFY(!action(chat, "Classic1")->isChecked());
    QCOMPARE(iniValue(path, "Turnsound"), QStringLiteral("1"));
    action(chat, "Slow1")->trigger();
    QCOMPARE(iniValue(path, "Botspeed"), QStringLiteral("1500"));
    action(chat, "Fast1")->trigger();
    QCOMPARE(iniValue(path, "Botspeed"), QStringLiteral("250"));
    action(chat, "Long1")->trigger();
    QCOMPARE(iniValue(path, "Timedelay"), QStringLiteral("25"));
    action(chat, "TextSize14")->trigger();
    QCOMPARE(iniValue(path, "Textsize"), QStringLiteral("14"));

    // Scroll Chat Off is not saved.
    const QByteArray before = readFile(path);
    action(chat, "ScrollChatOff1")->trigger();
    QVERIFY(action(chat, "ScrollChatOff1")->isChecked());
    QCOMPARE(readFile(path), before);
}

void TestMenus::botSpeedReachesTheHost()
{
    const QString folder = freshSettingsFolder();
    writeFile(folder + "/orsklobby.ini", "[Quorvel]\r\nBotspeed=1500\r\nTimedelay=25\r\n");
    Program& program = host(folder);
    QVERIFY(action(program.chat(), "Slow1")->isChecked());
    QCOMPARE(program.hostSettings().botSpeedMs(), 1500);
    QCOMPARE(program.hostSettings().secondsBetweenRounds(), 25);
    action(program.chat(), "Fast1")->trigger();
    action(program.chat(), "Short1")->trigger();
    QCOMPARE(program.hostSettings().botSpeedMs(), 250);
    QCOMPARE(program.hostSettings().secondsBetweenRounds(), 10);
}

// The window's place is written at its close, and only when it moved.
void TestMenus::movedWindowIsSaved()
{
    const QString folder = freshSettingsFolder();
    const QString path = host(folder).chat().iniPath();
    const QByteArray before = readFile(path);
    m_copy->chat().close();
    QCOMPARE(readFile(path), before);

    Tchat& chat = host(folder).chat();
    chat.move(20, 30);
    QTRY_COMPARE(chat.pos(), QPoint(20, 30));
    chat.close();
    QCOMPARE(iniValue(path, "Left"), QStringLiteral("20"));
    QCOMPARE(iniValue(path, "Top"), QStringLiteral("30"));
    QCOMPARE(iniValue(path, "Width"), QStringLiteral("772"));
    QCOMPARE(iniValue(path, "Height"), QString::number(fitted(chat, 535)));
    QCOMPARE(iniValue(path, "Textsize"), QStringLiteral("8"));
}

void TestMenus::oversizedWindowShrinksOneStep()
{
    Tchat& chat = host().chat();
    const QString path = iniPath();
    const QRect work = chat.screen()->availableGeometry();
    chat.resize(work.width() + 40, work.height() + 30);
    QTRY_COMPARE(chat.width(), work.width() + 40);
    chat.close();
    QCOMPARE(iniValue(path, "Width"), QString::number(work.width() + 25));
    QCOMPARE(iniValue(path, "Height"), QString::number(work.height() + 15));
}

void TestMenus::resetScreenLocation()
{
    Tchat& chat = host().chat();
    const QString path = iniPath();
    chat.move(60, 70);
    chat.resize(800, 600);
    QTRY_COMPARE(chat.pos(), QPoint(60, 70));
    const QByteArray before = readFile(path);
    action(chat, "ResetScreenLocation1")->trigger();
    QTRY_COMPARE(chat.pos(), QPoint(3, 3));
    QCOMPARE(chat.size(), QSize(772, fitted(chat, 535)));
    // Written only at the close, and then not at all: it is back where it was read.
    QCOMPARE(readFile(path), before);
}

void TestMenus::startGame()
{
    Program& program = host();
    Tchat& chat = program.chat();
    QAction* start = action(chat, "StartGame1");
    QVERIFY(start->isEnabled());
    start->trigger();
    QTRY_VERIFY(program.gamestart().isVisible());
    program.gamestart().hide();
    auto* button = chat.findChild<QAbstractButton*>("button_start");
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(program.gamestart().isVisible());

    // The dialog's start saves its values and starts the game at the host.
    program.gamestart().setPlayToScore(101);
    program.gamestart().button_startClick();
    QTRY_COMPARE(iniValue(iniPath(), "Playtoscore"), QStringLiteral("101"));
    QTRY_COMPARE(chat.findChild<QLabel*>("label_playtoscore")->text(),
                 QStringLiteral("Play to Score: 101"));
    QVERIFY(!program.gamestart().isVisible());
}

void TestMenus::startGameNotConnected()
{
    m_copy =
        startCopy({"Ann", "127.0.0.1"}, 0, m_lobby.serverPort(), &m_errors); // connects nowhere
    Tchat& chat = m_copy->chat();
    QVERIFY(!action(chat, "StartGame1")->isEnabled());
    chat.button_startClick();
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = chat.findChild<QMessageBox*>("messagebox")) && box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("You are not connected"));
    QVERIFY(!m_copy->program->gamestart().isVisible());
}

void TestMenus::viewAndHelpItems()
{
    Program& program = host();
    Tchat& chat = program.chat();
    RecordingOpener opener;
    program.about().setShellOpener(&opener);

    action(chat, "ViewTally1")->trigger();
    QTRY_VERIFY(program.tally().isVisible());

    action(chat, "Content1")->trigger();
    QTRY_VERIFY(program.help().isVisible());
    action(chat, "About1")->trigger();
    QTRY_VERIFY(program.about().isVisible());
    action(chat, "PlayWithOthers1")->trigger();
    QTRY_VERIFY(program.playWithOthers().isVisible());

    QTest::mouseClick(chat.findChild<QLabel*>("image_logo"), Qt::LeftButton);
    QTRY_COMPARE(opener.urls.size(), 1);
    QCOMPARE(opener.urls.first(), QUrl(QString::fromLatin1(Tabout::productAddress)));
    program.about().setShellOpener(nullptr);

    QVERIFY(action(chat, "ChoosenBingoBalls1")->isCheckable());
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
