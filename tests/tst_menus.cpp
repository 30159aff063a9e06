#include "app/program.h"
#include "client/chatpanel.h"
#include "client/chatview.h"
#include "client/gamestartform.h"
#include "client/phrasebuttons.h"
#include "client/playingsurface.h"
#include "client/settings.h"
#include "platform/inifile.h"
#include "support/files.h"
#include "support/recordingopener.h"
#include "support/recordingreporter.h"
#include "support/recordingsoundplayer.h"
#include "support/settingsfolder.h"

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
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
QAction* item(Tchat& chat, const char* name)
{
    auto* action = chat.findChild<QAction*>(QLatin1String(name));
    if (!action)
        qWarning() << "no menu item" << name;
    return action;
}

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
    void defaultsAfterConnecting();
    void storedValuesAreApplied();
    void menuItemsCheckTagAndSave();
    void botSpeedReachesTheHost();
    void unmovedWindowIsNotSaved();
    void movedWindowIsSaved();
    void oversizedWindowShrinksOneStep();
    void resetScreenLocation();
    void startGame();
    void startGameNotConnected();
    void viewAndHelpItems();

private:
    // A hosting copy with its settings in folder (a fresh one when empty), logged in.
    Program& host(const QString& folder = QString());
    QString iniPath() const { return m_program->chat().iniPath(); }

    QTcpServer m_lobby;
    RecordingReporter m_errors;
    RecordingSoundPlayer m_sounds;
    std::unique_ptr<Program> m_program;
};

void TestMenus::initTestCase()
{
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

void TestMenus::cleanup()
{
    m_program.reset();
}

Program& TestMenus::host(const QString& folder)
{
    LaunchOptions options;
    options.arguments = {"Ann", "127.0.0.1", "true"};
    options.gamePort = 0;
    options.lobbyPort = m_lobby.serverPort();
    options.settingsFolder = folder.isEmpty() ? freshSettingsFolder() : folder;
    m_program = std::make_unique<Program>(options, &m_errors, &m_sounds);
    m_program->chat().show();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(m_program->chat().state().loggedIn(), 10000); }();
    // The settings are read at the own seat's announcement, which writes "Help".
    [&] { QTRY_COMPARE_WITH_TIMEOUT(iniValue(iniPath(), "Help"), QStringLiteral("2"), 10000); }();
    return *m_program;
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
    QCOMPARE(captions(item(chat, "BotSpeed1")->menu()), (QStringList{"Slow", "Normal", "Fast"}));
    QCOMPARE(captions(item(chat, "TimeBetweenRoundDelay1")->menu()),
             (QStringList{"Short", "Normal", "Long"}));
    QCOMPARE(captions(item(chat, "TurnSound1")->menu()), (QStringList{"Classic", "New"}));
    QCOMPARE(captions(item(chat, "TextSize1")->menu()), (QStringList{"8", "10", "12", "14"}));
    QCOMPARE(item(chat, "Content1")->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(item(chat, "ScrollChatOff1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(item(chat, "Slow1")->data().toInt(), 1500);
    QCOMPARE(item(chat, "Fast1")->data().toInt(), 250);
    QCOMPARE(item(chat, "Short1")->data().toInt(), 10);
    QCOMPARE(item(chat, "Long1")->data().toInt(), 25);
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

void TestMenus::defaultsAfterConnecting()
{
    Program& program = host();
    Tchat& chat = program.chat();
    QCOMPARE(chat.pos(), QPoint(3, 3));
    QCOMPARE(chat.size(), QSize(772, fitted(chat, 535)));
    QCOMPARE(chat.chatPanel().view()->textSize(), 8);
    QVERIFY(item(chat, "TextSize8")->isChecked());
    QCOMPARE(chat.chatPanel().chatColour(), QColor(Qt::black));
    QCOMPARE(program.gamestart().playToScore(), 30);
    QCOMPARE(program.gamestart().penalty(), 10);
    QCOMPARE(program.gamestart().bobCount(), 5);
    QCOMPARE(program.gamestart().gameType(), 3);
    QVERIFY(item(chat, "Normal1")->isChecked());
    QCOMPARE(chat.options().botSpeedMs, 750);
    QVERIFY(item(chat, "Normal2")->isChecked());
    QCOMPARE(chat.options().secondsBetweenRounds, 15);
    QVERIFY(item(chat, "Classic1")->isChecked());
    QCOMPARE(chat.options().turnSound, 0);
    for (int i = 1; i <= 9; ++i)
        QCOMPARE(chat.chatPanel().phraseButtons()->phrase(i),
                 Settings::builtInPhrases[std::size_t(i - 1)]);
    QVERIFY(item(chat, "PlaySounds1")->isChecked());
    QVERIFY(item(chat, "PlayerPhraseSounds1")->isChecked());
    QVERIFY(!item(chat, "ScrollChatOff1")->isChecked());
    auto* help = chat.findChild<QWidget*>("panel_help");
    QVERIFY(help->isVisible());
    // Only the first-run marker was written.
    QCOMPARE(iniValue(iniPath(), "Help"), QStringLiteral("2"));
    QCOMPARE(iniValue(iniPath(), "Textsize"), QStringLiteral("<none>"));
    // It never takes a click meant for the cards under it; the click puts it away.
    auto* cell = chat.findChild<QLabel*>("label_card111");
    chat.surface().setStatus(QString());
    QTest::mouseClick(chat.windowHandle(), Qt::LeftButton, {},
                      cell->mapTo(&chat, cell->rect().center()));
    QVERIFY(!help->isVisible());
    QCOMPARE(chat.surface().status(), QStringLiteral("That number has not been choosen."));
}

void TestMenus::storedValuesAreApplied()
{
    const QString folder = freshSettingsFolder();
    writeFile(
        folder + "/orsklobby.ini",
        "[Other]\r\nkeep=me\r\n[Quorvel]\r\nTextsize=12\r\nTop=40\r\nLeft=50\r\nWidth=780\r\n"
        "Height=600\r\nTextcolor=clred\r\nPlaytoscore=200\r\nBob=x\r\nBobcount=3\r\nBotcount=2\r\n"
        "Botspeed=250\r\nTimedelay=10\r\nTurnsound=1\r\nPhrase3=\r\nPhrase4=Hi all\r\n"
        "Playsounds=false\r\nPlayerphrasesounds=false\r\nHelp=2\r\n");
    Program& program = host(folder);
    Tchat& chat = program.chat();
    QCOMPARE(chat.pos(), QPoint(50, 40));
    QCOMPARE(chat.size(), QSize(780, 600));
    QCOMPARE(chat.chatPanel().view()->textSize(), 12);
    QVERIFY(item(chat, "TextSize12")->isChecked());
    QVERIFY(!item(chat, "TextSize8")->isChecked());
    QCOMPARE(chat.chatPanel().chatColour(), QColor(Qt::red));
    QCOMPARE(program.gamestart().playToScore(), 200);
    QCOMPARE(program.gamestart().penalty(), 10); // not a number: unchanged
    QCOMPARE(program.gamestart().bobCount(), 3);
    QCOMPARE(program.gamestart().gameType(), 2);
    QVERIFY(item(chat, "Fast1")->isChecked());
    QVERIFY(!item(chat, "Normal1")->isChecked());
    QCOMPARE(chat.options().botSpeedMs, 250);
    QVERIFY(item(chat, "Short1")->isChecked());
    QCOMPARE(chat.options().secondsBetweenRounds, 10);
    QVERIFY(item(chat, "New1")->isChecked());
    QCOMPARE(chat.options().turnSound, 1);
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(3), QStringLiteral("Nice Try!"));
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(4), QStringLiteral("Hi all"));
    QVERIFY(!item(chat, "PlaySounds1")->isChecked());
    QVERIFY(!item(chat, "PlayerPhraseSounds1")->isChecked());
    QVERIFY(!chat.findChild<QWidget*>("panel_help")->isVisible());

    // A text size without an item is applied and checks nothing.
    m_program.reset();
    writeFile(folder + "/orsklobby.ini", "[Quorvel]\r\nTextsize=11\r\nBotspeed=999\r\n");
    Tchat& again = host(folder).chat();
    QCOMPARE(again.chatPanel().view()->textSize(), 11);
    for (const char* name : {"TextSize8", "TextSize10", "TextSize12", "TextSize14"})
        QVERIFY(!item(again, name)->isChecked());
    QVERIFY(item(again, "Normal1")->isChecked());
}

void TestMenus::menuItemsCheckTagAndSave()
{
    const QString folder = freshSettingsFolder();
    writeFile(folder + "/orsklobby.ini", "[Other]\r\nkeep=me\r\n");
    Tchat& chat = host(folder).chat();
    const QString path = iniPath();

    item(chat, "PlaySounds1")->trigger();
    QVERIFY(!item(chat, "PlaySounds1")->isChecked());
    QCOMPARE(iniValue(path, "Playsounds"), QStringLiteral("false"));
    item(chat, "PlayerPhraseSounds1")->trigger();
    QVERIFY(!item(chat, "PlayerPhraseSounds1")->isChecked());
    QCOMPARE(iniValue(path, "Playerphrasesounds"), QStringLiteral("false"));
    item(chat, "PlaySounds1")->trigger();
    QCOMPARE(iniValue(path, "Playsounds"), QStringLiteral("true"));

    item(chat, "New1")->trigger();
    QVERIFY(item(chat, "New1")->isChecked());
    QVERIFY(!item(chat, "Classic1")->isChecked());
    QCOMPARE(chat.options().turnSound, 1);
    QCOMPARE(iniValue(path, "Turnsound"), QStringLiteral("1"));

    item(chat, "Slow1")->trigger();
    QVERIFY(item(chat, "Slow1")->isChecked());
    QVERIFY(!item(chat, "Normal1")->isChecked());
    QCOMPARE(chat.options().botSpeedMs, 1500);
    QCOMPARE(iniValue(path, "Botspeed"), QStringLiteral("1500"));
    item(chat, "Fast1")->trigger();
    QCOMPARE(iniValue(path, "Botspeed"), QStringLiteral("250"));

    item(chat, "Long1")->trigger();
    QVERIFY(item(chat, "Long1")->isChecked());
    QVERIFY(!item(chat, "Normal2")->isChecked());
    QCOMPARE(chat.options().secondsBetweenRounds, 25);
    QCOMPARE(iniValue(path, "Timedelay"), QStringLiteral("25"));

    item(chat, "TextSize14")->trigger();
    QVERIFY(item(chat, "TextSize14")->isChecked());
    QVERIFY(!item(chat, "TextSize8")->isChecked());
    QCOMPARE(chat.chatPanel().view()->textSize(), 14);
    QCOMPARE(iniValue(path, "Textsize"), QStringLiteral("14"));

    item(chat, "TextColor1")->trigger();
    auto* colours = chat.findChild<QColorDialog*>("ColorDialog");
    QTRY_VERIFY(colours->isVisible());
    colours->setCurrentColor(Qt::red);
    colours->accept();
    QCOMPARE(chat.chatPanel().chatColour(), QColor(Qt::red));
    QCOMPARE(iniValue(path, "Textcolor"), QStringLiteral("clRed"));

    // Scroll Chat Off is not saved.
    const QByteArray before = readFile(path);
    item(chat, "ScrollChatOff1")->trigger();
    QVERIFY(item(chat, "ScrollChatOff1")->isChecked());
    QCOMPARE(readFile(path), before);

    // The whole section, in its order, and the other section kept.
    IniFile ini(path);
    QVERIFY(ini.load());
    QCOMPARE(ini.value(QStringLiteral("Other"), QStringLiteral("keep"), QString()),
             QStringLiteral("me"));
    const QByteArray text = readFile(path);
    QStringList keys;
    for (const QByteArray& line : text.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            keys.append(QString::fromLatin1(line.left(eq)));
    }
    QCOMPARE(keys,
             (QStringList{"keep", "Help", "Textsize", "Top", "Left", "Width", "Height", "Textcolor",
                          "Playtoscore", "Bob", "Bobcount", "Botcount", "Botspeed", "Timedelay",
                          "Turnsound", "Playerphrasesounds", "Playsounds"}));

    // Read back at the next start.
    m_program.reset();
    Tchat& again = host(folder).chat();
    QVERIFY(item(again, "Fast1")->isChecked());
    QVERIFY(item(again, "Long1")->isChecked());
    QVERIFY(item(again, "New1")->isChecked());
    QVERIFY(item(again, "TextSize14")->isChecked());
    QVERIFY(!item(again, "PlayerPhraseSounds1")->isChecked());
    QVERIFY(!item(again, "ScrollChatOff1")->isChecked());
}

void TestMenus::botSpeedReachesTheHost()
{
    const QString folder = freshSettingsFolder();
    writeFile(folder + "/orsklobby.ini", "[Quorvel]\r\nBotspeed=1500\r\nTimedelay=25\r\n");
    Program& program = host(folder);
    QVERIFY(item(program.chat(), "Slow1")->isChecked());
    QCOMPARE(program.hostSettings().botSpeedMs(), 1500);
    QCOMPARE(program.hostSettings().secondsBetweenRounds(), 25);
    item(program.chat(), "Fast1")->trigger();
    item(program.chat(), "Short1")->trigger();
    QCOMPARE(program.hostSettings().botSpeedMs(), 250);
    QCOMPARE(program.hostSettings().secondsBetweenRounds(), 10);
}

void TestMenus::unmovedWindowIsNotSaved()
{
    Tchat& chat = host().chat();
    const QString path = iniPath();
    const QByteArray before = readFile(path);
    chat.close();
    QCOMPARE(readFile(path), before);
    QCOMPARE(iniValue(path, "Left"), QStringLiteral("<none>"));
}

void TestMenus::movedWindowIsSaved()
{
    Tchat& chat = host().chat();
    const QString path = iniPath();
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
    item(chat, "ResetScreenLocation1")->trigger();
    QTRY_COMPARE(chat.pos(), QPoint(3, 3));
    QCOMPARE(chat.size(), QSize(772, fitted(chat, 535)));
    // Written only at the close, and then not at all: it is back where it was read.
    QCOMPARE(readFile(path), before);
}

void TestMenus::startGame()
{
    Program& program = host();
    Tchat& chat = program.chat();
    QAction* start = item(chat, "StartGame1");
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
    LaunchOptions options;
    options.arguments = {"Ann", "127.0.0.1"}; // connects nowhere
    options.settingsFolder = freshSettingsFolder();
    m_program = std::make_unique<Program>(options, &m_errors, &m_sounds);
    Tchat& chat = m_program->chat();
    chat.show();
    QVERIFY(!item(chat, "StartGame1")->isEnabled());
    chat.button_startClick();
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = chat.findChild<QMessageBox*>("messagebox")) && box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("You are not connected"));
    QVERIFY(!m_program->gamestart().isVisible());
}

void TestMenus::viewAndHelpItems()
{
    Program& program = host();
    Tchat& chat = program.chat();
    RecordingOpener opener;
    program.about().setShellOpener(&opener);

    QSignalSpy tally(&chat.menus(), &TableMenus::viewTallyRequested);
    item(chat, "ViewTally1")->trigger();
    QCOMPARE(tally.count(), 1);
    QTRY_VERIFY(program.tally().isVisible());

    item(chat, "Content1")->trigger();
    QTRY_VERIFY(program.help().isVisible());
    item(chat, "About1")->trigger();
    QTRY_VERIFY(program.about().isVisible());
    item(chat, "PlayWithOthers1")->trigger();
    QTRY_VERIFY(program.playWithOthers().isVisible());

    QTest::mouseClick(chat.findChild<QLabel*>("image_logo"), Qt::LeftButton);
    QTRY_COMPARE(opener.urls.size(), 1);
    QCOMPARE(opener.urls.first(), QUrl(QString::fromLatin1(Tabout::productAddress)));
    program.about().setShellOpener(nullptr);

    QVERIFY(item(chat, "ChoosenBingoBalls1")->isCheckable());
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
