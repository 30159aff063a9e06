#include "app/program.h"
#include "client/pictures.h"
#include "net/messages.h"
#include "net/table.h"
#include "support/recordingopener.h"
#include "support/settingsfolder.h"
#include "support/widgets.h"
#include "windows/aboutform.h"
#include "windows/helpform.h"

#include <QDate>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>

namespace {
QString caption(Thelp& help)
{
    return child<QLabel>(help, QStringLiteral("label_caption"))->text();
}

QTextBrowser* frontTopic(Thelp& help)
{
    return qobject_cast<QTextBrowser*>(
        child<QStackedWidget>(help, QStringLiteral("stack_topics"))->currentWidget());
}

QStringList lines(QTextBrowser* memo)
{
    return memo->toPlainText().split(QLatin1Char('\n'));
}

// Whether the window shows the main window's background picture: a colour of its tile
// appears in the window.
bool showsTableTile(QWidget& window)
{
    const QImage tile = pictures::render(QSize(pictures::tileSize, pictures::tileSize), 1.0,
                                         pictures::paintBackgroundTile)
                            .toImage();
    const QRgb dot = tile.pixel(7, 12);
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) == dot)
                return true;
    return false;
}

void click(QWidget& window, const QString& name)
{
    QTest::mouseClick(child<QWidget>(window, name), Qt::LeftButton);
}
} // namespace

class TestHelpAbout : public QObject {
    Q_OBJECT
private slots:
    void helpOpensOnOverview();
    void topicButtons_data();
    void topicButtons();
    void doneAndContentKeepTheLastTopic();
    void topicTexts_data();
    void topicTexts();
    void optionsTopicHeadings();
    void helpAboutButtonAndPlacement();
    void aboutShowsVersionAndYear();
    void linkAndLogoOpenTheProductPage();
    void pageThatCannotOpen();
};

void TestHelpAbout::helpOpensOnOverview()
{
    Thelp help;
    QCOMPARE(help.windowTitle(), QStringLiteral("Trellic - Help File"));
    help.showHelp();
    QVERIFY(help.isVisible());
    QCOMPARE(help.size(), QSize(556, 422));
    QCOMPARE(child<QWidget>(help, QStringLiteral("panel_side"))->width(), 137);
    QCOMPARE(child<QLabel>(help, QStringLiteral("label_caption"))->height(), 20);
    QCOMPARE(caption(help), QStringLiteral("Overview"));
    QCOMPARE(frontTopic(help)->objectName(), QStringLiteral("memo1"));
    QVERIFY(frontTopic(help)->isVisible());
    QVERIFY(!child<QTextBrowser>(help, QStringLiteral("memo5"))->isVisible());
    QVERIFY(frontTopic(help)->isReadOnly());

    // The side panel's buttons from top to bottom.
    QStringList order;
    QList<QPushButton*> buttons =
        child<QWidget>(help, QStringLiteral("panel_side"))->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->y() < b->y(); });
    for (QPushButton* button : buttons)
        order << button->text();
    QCOMPARE(order, QStringList({"Overview", "Connecting", "Game Play", "Scoring", "Options",
                                 "Documentation", "About", "Done"}));
}

void TestHelpAbout::topicButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("Connecting") << "SelButton2"
                                << "Connecting"
                                << "memo2"
                                << "Connecting";
    QTest::newRow("Game Play") << "SelButton3"
                               << "Game Play"
                               << "memo3"
                               << "Game Play";
    QTest::newRow("Scoring") << "SelButton4"
                             << "Scoring"
                             << "memo4"
                             << "Scoring";
    QTest::newRow("Documentation") << "SelButton5"
                                   << "Documentation"
                                   << "memo5"
                                   << "History";
    QTest::newRow("Options") << "SelButton7"
                             << "Options"
                             << "memo7"
                             << "Options";
    QTest::newRow("Overview") << "SelButton1"
                              << "Overview"
                              << "memo1"
                              << "Overview";
}

// The caption line is the button's caption, the text its topic's: "Documentation" over
// a text that starts with "History".
void TestHelpAbout::topicButtons()
{
    QFETCH(QString, button);
    QFETCH(QString, caption);
    QFETCH(QString, memo);
    QFETCH(QString, firstLine);
    Thelp help;
    help.showHelp();
    click(help, QStringLiteral("SelButton3"));
    click(help, button);
    QCOMPARE(::caption(help), caption);
    QCOMPARE(frontTopic(help)->objectName(), memo);
    QVERIFY(frontTopic(help)->isVisible());
    QCOMPARE(lines(frontTopic(help)).first(), firstLine);
    QCOMPARE(lines(frontTopic(help)).at(1), QString());
    QCOMPARE(help.currentTopic(), memo.mid(4).toInt());
}

void TestHelpAbout::doneAndContentKeepTheLastTopic()
{
    Thelp help;
    help.showHelp();
    click(help, QStringLiteral("SelButton5"));
    click(help, QStringLiteral("button_done"));
    QVERIFY(!help.isVisible());
    help.showHelp();
    QVERIFY(help.isVisible());
    QCOMPARE(caption(help), QStringLiteral("Documentation"));
    QCOMPARE(frontTopic(help)->objectName(), QStringLiteral("memo5"));
    QCOMPARE(lines(frontTopic(help)).first(), QStringLiteral("History"));
}

void TestHelpAbout::topicTexts_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Overview") << "memo1"
                              << QStringList{
                                     "Overview", "",
                                     "I created a solo version of Bingo. Players asked for a "
                                     "multiplayer version so here is what I came up with.",
                                     "",
                                     "I didn't want my bingo game to be as all the other bingo "
                                     "games out there so I added the Zorer Aru feature. "};
    QTest::newRow("Game Play")
        << "memo3"
        << QStringList{
               "Game Play",
               "",
               "Players take turns selecting one ball to uncover.  All players then cover each "
               "number on their cards that match the ball.",
               "",
               "Click on the purple circles to select a ball. Click on a number to cover it.",
               "",
               "There are five Zorer Aru Balls on the board. Once three of these balls are "
               "revealed, the game ends and scores are tallied.",
               "",
               "The player who reaches the play to score first wins. If more then one player "
               "eacher the play to score in the same round, the player with the highest score "
               "wins. In case of a tie, another round will be played."};
    QTest::newRow("Scoring")
        << "memo4"
        << QStringList{"Scoring",
                       "",
                       "You receive scores for each design as follow",
                       "",
                       "  10 for each line",
                       "  15 for  Corners - covering all four corners of the card",
                       "  25 for  Cross - covering the middle lines going both across and down",
                       "  20 for  X - covering both lines running from corner to corner. ",
                       "  25 for Square - covering all four outer lines",
                       "  100 for Blackout - covering every number on the card"};
    QTest::newRow("Documentation")
        << "memo5"
        << QStringList{"History",
                       "",
                       "May 9, 2011 - Version 1.0.1.0",
                       "  -Added selected balls panel",
                       "  -Added option to select fewer Bobs",
                       "  -Score reduced when you find Bob option",
                       "  -Added options to allow more bots to play",
                       "  -Changed background image",
                       "Mar 21, 2011 - First alpha release Version 1.0.0.0"};
}

// The texts keep their wording, blanks and spelling as they stand.
void TestHelpAbout::topicTexts()
{
    QFETCH(QString, memo);
    QFETCH(QStringList, expected);
    Thelp help;
    QCOMPARE(lines(child<QTextBrowser>(help, memo)), expected);

    const QStringList connecting = lines(child<QTextBrowser>(help, QStringLiteral("memo2")));
    QCOMPARE(
        connecting.at(2),
        QStringLiteral("Solo Games: To play a solo game, press the Start Game button. Solo games "
                       "can be played while offline.  Since the game is designed to be playing "
                       "online and uses the internet components, your firewall must grant the "
                       "game access to the internet."));
    QVERIFY(connecting.join('\n').contains(QStringLiteral("7772")));
    // Our own words on playing with others without the lobby.
    QVERIFY(connecting.join('\n').contains(QStringLiteral("choose File, Play with Others")));
    QVERIFY(connecting.join('\n').contains(QStringLiteral("quorvel NAME ADDRESS join")));
    QCOMPARE(connecting.last(),
             QStringLiteral("Note: If at any time the host (ussually the first player in the list) "
                            "is disconnected, all game play will end."));
}

void TestHelpAbout::optionsTopicHeadings()
{
    Thelp help;
    const QStringList text = lines(child<QTextBrowser>(help, QStringLiteral("memo7")));
    QStringList headings;
    for (const QString& line : text) {
        if (line.startsWith('-'))
            headings << line;
    }
    QCOMPARE(headings, QStringList({"-Just Watch", "-Bot Speed", "-Sounds", "-Chat/Action Text",
                                    "-Screen Location", "-Phrase Buttons", "-Tally List",
                                    "-Spy List", "-Phrase List"}));
    const QString whole = text.join('\n');
    QVERIFY(whole.contains(QStringLiteral("The Musical Phrase Button will play a sound.")));
    QVERIFY(whole.contains(QStringLiteral("The tally list allows you to monitor your games played, "
                                          "wins/loses, and sometimes some other statistics.")));
}

// In the program the help window's "About" shows the about window; both open centred on
// the main window.
void TestHelpAbout::helpAboutButtonAndPlacement()
{
    LaunchOptions options;
    options.settingsFolder = freshSettingsFolder();
    options.arguments = QStringList{QStringLiteral("Ann")}; // connects nowhere
    Program program(options);
    program.chat().setGeometry(40, 30, 772, 535);
    program.chat().show();
    const QPoint middle = program.chat().frameGeometry().center();
    // Before a window's first show its frame can only be estimated.
    auto centred = [middle](QWidget& window) {
        return (window.frameGeometry().center() - middle).manhattanLength() <= 4;
    };

    program.help().showHelp();
    QVERIFY(centred(program.help()));
    QVERIFY(!program.about().isVisible());
    click(program.help(), QStringLiteral("button_about"));
    QVERIFY(program.about().isVisible());
    QVERIFY(centred(program.about()));
    QVERIFY(showsTableTile(program.help()));
    QVERIFY(showsTableTile(program.about()));
}

void TestHelpAbout::aboutShowsVersionAndYear()
{
    Tabout about;
    about.showAbout();
    QCOMPARE(about.windowTitle(), QStringLiteral("Quorvel - About"));
    QCOMPARE(about.size(), QSize(304, 174));
    QCOMPARE(about.minimumSize(), about.maximumSize());

    // "Version", the version label and ".0" read as one line, left to right.
    auto* word = child<QLabel>(about, QStringLiteral("label_versionword"));
    auto* version = child<QLabel>(about, QStringLiteral("version"));
    auto* end = child<QLabel>(about, QStringLiteral("label_versionend"));
    QCOMPARE(version->text(), QStringLiteral("1.0.1"));
    QCOMPARE(version->text(), table::version());
    QCOMPARE(word->text() + version->text() + end->text(), QStringLiteral("Version 1.0.1.0"));
    QVERIFY(word->geometry().right() < version->geometry().left());
    QVERIFY(version->geometry().right() < end->geometry().left());
    QCOMPARE(word->mapToGlobal(QPoint()).y(), end->mapToGlobal(QPoint()).y());

    const QString year = child<QLabel>(about, QStringLiteral("label_year"))->text();
    QCOMPARE(year.size(), 4);
    QCOMPARE(year, QString::number(QDate::currentDate().year()));

    auto* logo = child<QLabel>(about, QStringLiteral("image_logo"));
    QCOMPARE(logo->size(), QSize(211, 53));
    QCOMPARE(logo->pixmap().deviceIndependentSize().toSize(), QSize(211, 53));

    click(about, QStringLiteral("button_done"));
    QVERIFY(!about.isVisible());
}

void TestHelpAbout::linkAndLogoOpenTheProductPage()
{
    RecordingOpener opener;
    Tabout about;
    about.setShellOpener(&opener);
    about.showAbout();
    auto* link = child<QLabel>(about, QStringLiteral("label_url"));
    QCOMPARE(link->text(), QString::fromLatin1(Tabout::productAddress));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(QUrl(link->text()).isValid());

    click(about, QStringLiteral("label_url"));
    click(about, QStringLiteral("image_logo"));
    // The main window's logo calls the same slot.
    about.label_urlClick();
    const QUrl page(QString::fromLatin1(Tabout::productAddress));
    QCOMPARE(opener.urls, QList<QUrl>({page, page, page}));
    QVERIFY(opener.programs.isEmpty());
}

void TestHelpAbout::pageThatCannotOpen()
{
    RecordingOpener opener;
    opener.succeed = false;
    Tabout about;
    about.setShellOpener(&opener);
    about.showAbout();
    click(about, QStringLiteral("label_url"));
    const auto boxes = about.findChildren<QMessageBox*>(QStringLiteral("message"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first()->text(), QStringLiteral("Cannot open Webpage"));
    QVERIFY(!boxes.first()->isModal());
}

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
