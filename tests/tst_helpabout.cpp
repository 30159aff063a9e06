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
    void topicTexts_data();
    void topicTexts();
    void optionsTopicHeadings();
    void helpAboutButtonAndPlacement();
    void aboutShowsVersionAndYear();
    void linkAndLogoOpenTheProductPage();
};

void TestHelpAbout::helpOpensOnOverview()
{
    Thelp help;
    QCOMPARE(help.windowTitle(), QStringLiteral("Trellic - Help File"));
    help.showHelp();
    QVERIFY(help.isVisible());
    QCOMPARE(caption(help), QStringLiteral("Overview"));
    QCOMPARE(frontTopic(help)->objectName(), QStringLiteral("memo1"));
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
    QTest::addColumn<int>("topic"); // the button's and the text's number
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("Connecting") << 2 << "Connecting";
    QTest::newRow("Game Play") << 3 << "Game Play";
    QTest::newRow("Scoring") << 4 << "Scoring";
    QTest::newRow("Documentation") << 5 << "History";
    QTest::newRow("Options") << 7 << "Options";
    QTest::newRow("Overview") << 1 << "Overview";
}

// The caption line is the button's caption, the text its topic's: "Documentation" over
// a text that starts with "History". Done and the next opening keep the topic.
void TestHelpAbout::topicButtons()
{
    QFETCH(int, topic);
    QFETCH(QString, firstLine);
    Thelp help;
    help.showHelp();
    click(help, QStringLiteral("SelButton3"));
    click(help, QStringLiteral("SelButton%1").arg(topic));
    for (int opening = 0; opening < 2; ++opening) {
        QCOMPARE(caption(help), QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(frontTopic(help)->objectName(), QStringLiteral("memo%1").arg(topic));
        QVERIFY(frontTopic(help)->isVisible());
        QCOMPARE(lines(frontTopic(help)).mid(0, 2), QStringList({firstLine, QString()}));
        QCOMPARE(help.currentTopic(), topic);
        click(help, QStringLiteral("button_done"));
        QVERIFY(!help.isVisible());
        help.showHelp();
    }
}

void TestHelpAbout::topicTexts_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QStringList>("expected");
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
}

void TestHelpAbout::optionsTopicHeadings()
{
    Thelp help;
    QStringList headings;
    for (const QString& line : lines(child<QTextBrowser>(help, QStringLiteral("memo7"))))
        if (line.startsWith('-'))
            headings << line;
    QCOMPARE(headings, QStringList({"-Just Watch", "-Bot Speed", "-Sounds", "-Chat/Action Text",
                                    "-Screen Location", "-Phrase Buttons", "-Tally List",
                                    "-Spy List", "-Phrase List"}));
    // Our own words on playing with others without the lobby.
    const QString connecting = child<QTextBrowser>(help, QStringLiteral("memo2"))->toPlainText();
    for (const char* words : {"7772", "choose File, Play with Others", "quorvel NAME ADDRESS join"})
        QVERIFY2(connecting.contains(QLatin1String(words)), words);
}

// In the program the help window's "About" shows the about window; both open centred on
// the main window.
void TestHelpAbout::helpAboutButtonAndPlacement()
{
    LaunchOptions options = isolatedOptions();
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

    // "Version", the version label and ".0" read as one line, left to right.
    auto* word = child<QLabel>(about, QStringLiteral("label_versionword"));
    auto* version = child<QLabel>(about, QStringLiteral("version"));
    auto* end = child<QLabel>(about, QStringLiteral("label_versionend"));
    QCOMPARE(version->text(), table::version());
    QCOMPARE(word->text() + version->text() + end->text(), QStringLiteral("Version 1.0.1.0"));
    QVERIFY(word->geometry().right() < version->geometry().left());
    QVERIFY(version->geometry().right() < end->geometry().left());
    QCOMPARE(word->mapToGlobal(QPoint()).y(), end->mapToGlobal(QPoint()).y());
    QCOMPARE(child<QLabel>(about, QStringLiteral("label_year"))->text(),
             QString::number(QDate::currentDate().year()));

    click(about, QStringLiteral("button_done"));
    QVERIFY(!about.isVisible());
}

// The link, the logo and the main window's logo open the page; where it cannot open, a
// box says so without blocking the program.
void TestHelpAbout::linkAndLogoOpenTheProductPage()
{
    RecordingOpener opener;
    Tabout about;
    about.setShellOpener(&opener);
    about.showAbout();
    auto* link = child<QLabel>(about, QStringLiteral("label_url"));
    QCOMPARE(link->text(), QString::fromLatin1(Tabout::productAddress));
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

    click(about, QStringLiteral("label_url"));
    click(about, QStringLiteral("image_logo"));
    about.label_urlClick();
    const QUrl page(QString::fromLatin1(Tabout::productAddress));
    QCOMPARE(opener.urls, QList<QUrl>({page, page, page}));
    QVERIFY(opener.programs.isEmpty());
    QVERIFY(!about.findChild<QMessageBox*>(QStringLiteral("message")));

    opener.succeed = false;
    click(about, QStringLiteral("label_url"));
    const auto boxes = about.findChildren<QMessageBox*>(QStringLiteral("message"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first()->text(), QStringLiteral("Cannot open Webpage"));
    QVERIFY(!boxes.first()->isModal());
}

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
