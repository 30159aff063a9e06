// The tally window and its file: counting games, following and dropping opponents, the
// stored text, restarts, damaged files and failed writes, all on real files.
#include "client/gamecounted.h"
#include "net/table.h"
#include "support/files.h"
#include "support/processcopy.h"
#include "tally/lzrw1kh.h"
#include "tally/tallyfile.h"
#include "tally/tallytable.h"
#include "windows/tallylistform.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <span>
#include <sys/resource.h>
#include <unistd.h>

namespace {
const QString deleteMarta =
    QStringLiteral("This will delete Marta's Tally, Are you want to delete it?");
const QString resetQuestion = QStringLiteral("Are you sure you want to reset the Tally?");

std::span<const std::uint8_t> bytes(const QByteArray& data)
{
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size())};
}

QByteArray stored(const QByteArray& text)
{
    const std::vector<std::uint8_t> out = lzrw1kh::compress(bytes(text));
    return QByteArray(reinterpret_cast<const char*>(out.data()), qsizetype(out.size()));
}

// The text of a stored tally file, or a null array when it does not decode.
QByteArray storedText(const QString& path)
{
    try {
        const std::vector<std::uint8_t> text = lzrw1kh::decompress(bytes(readFile(path)));
        return QByteArray(reinterpret_cast<const char*>(text.data()), qsizetype(text.size()));
    } catch (const lzrw1kh::Error&) {
        return QByteArray();
    }
}

QByteArray vector(const char* name)
{
    return readFile(QStringLiteral(QUORVEL_SOURCE_DIR "/tests/data/container/") +
                    QLatin1String(name));
}

QString text(QWidget& window, const QString& name)
{
    auto* label = window.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

QListWidget* list(QWidget& window, const char* name)
{
    return window.findChild<QListWidget*>(QLatin1String(name));
}

QStringList names(QListWidget* list, bool tickedOnly = false)
{
    QStringList found;
    for (int row = 0; row < list->count(); ++row) {
        if (!tickedOnly || list->item(row)->checkState() == Qt::Checked)
            found.append(list->item(row)->text());
    }
    return found;
}

// A tick or untick as the user gives it: the item made current, then the space bar.
void toggle(QListWidget* list, const QString& name)
{
    const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    list->setCurrentItem(items.first());
    QTest::keyClick(list, Qt::Key_Space);
}

void select(QListWidget* list, const QString& name)
{
    const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    // Right of the check box, so the click selects without ticking.
    const QRect rect = list->visualItemRect(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(rect.right() - 10, rect.center().y()));
}

// The detail panel as "Total" then "Session" columns.
QStringList detail(QWidget& window)
{
    QStringList counts;
    for (int column = 1; column <= 8; ++column)
        counts.append(text(window, QStringLiteral("label_count%1").arg(column)));
    return counts;
}

// A window on a file with answers queued for its questions.
struct Tally {
    explicit Tally(const QString& path) : window(std::make_unique<Ttallylist>(path))
    {
        window->setSeatNames([this] { return seats; });
        window->setQuestionAsker([this](QWidget*, const QString& question) {
            asked.append(question);
            return answers.isEmpty() ? false : answers.takeFirst();
        });
    }
    Ttallylist& operator*() { return *window; }
    Ttallylist* operator->() { return window.get(); }
    void follow(const QString& name)
    {
        window->loadchecklist();
        toggle(list(*window, "checklist"), name);
    }

    std::unique_ptr<Ttallylist> window;
    QStringList seats;
    QStringList asked;
    QList<bool> answers;
};
} // namespace

class TestTally : public QObject {
    Q_OBJECT
private slots:
    void firstRunAndAWonGame();
    void windowAndControls();
    void countingAGame_data();
    void countingAGame();
    void followingFromTheCurrentGame();
    void storedTextOfOneOpponent();
    void sessionColumnsAfterRestart();
    void deleteQuestion();
    void reset();
    void tableText_data();
    void tableText();
    void lineBreakInANameKeepsTheFileReadable();
    void damagedFileIsKeptAside_data();
    void damagedFileIsKeptAside();
    void earlierDamagedFileIsNotOverwritten();
    void damagedFileThatCannotMoveIsLeft();
    void unreadableFileIsNotOverwritten();
    void failedWriteKeepsTheOldFile();
    void programReadsAtStartAndWritesAtExit();
};

void TestTally::firstRunAndAWonGame()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    // Run from the tally's folder, where a scratch file in the current folder would show.
    const QString previousFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const auto back = qScopeGuard([&] { QDir::setCurrent(previousFolder); });
    {
        Tally tally(path);
        QCOMPARE(text(*tally, "label_total1"), QStringLiteral("0"));
        QCOMPARE(text(*tally, "label_total2"), QStringLiteral("0"));
        QVERIFY(list(*tally, "listbox_tally")->count() == 0);
        tally->addgame(userWonGame);
        QCOMPARE(text(*tally, "label_total1"), QStringLiteral("1"));
        QCOMPARE(text(*tally, "label_total2"), QStringLiteral("1"));
        QVERIFY(!QFile::exists(path)); // written at the end, not per game
    }
    QCOMPARE(storedText(path),
             QByteArray("9\r\n1\r\n0\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Quorveltally.tld"});
}

// Centred on the main window; the players at the table without the empty seats; Done hides
// the window, which goes on counting.
void TestTally::windowAndControls()
{
    QTemporaryDir dir;
    QWidget main;
    main.setGeometry(200, 150, 772, 535);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    Tally tally(dir.filePath(QStringLiteral("Quorveltally.tld")));
    tally->setMainWindow(&main);
    tally.seats = {QStringLiteral("Marta"), table::waitingName, QStringLiteral("Ben"), QString()};
    tally->showTally();
    QVERIFY(QTest::qWaitForWindowExposed(tally.window.get()));
    QVERIFY((tally->frameGeometry().center() - main.frameGeometry().center()).manhattanLength() <=
            2);
    QCOMPARE(names(list(*tally, "checklist")), (QStringList{"Marta", "Ben"}));
    QTest::mouseClick(tally->findChild<QPushButton*>(QStringLiteral("button_done")),
                      Qt::LeftButton);
    QVERIFY(!tally->isVisible());
    // Hidden, it goes on counting.
    tally->addgame(QStringLiteral("Ben"));
    QCOMPARE(text(*tally, "label_total1"), QStringLiteral("1"));
}

void TestTally::countingAGame_data()
{
    QTest::addColumn<QString>("winner");
    QTest::addColumn<QStringList>("marta"); // total and session: games, hers, yours, neither
    QTest::newRow("followed opponent wins")
        << "Marta" << QStringList{"1", "1", "0", "0", "1", "1", "0", "0"};
    QTest::newRow("user wins") << userWonGame
                               << QStringList{"1", "0", "1", "0", "1", "0", "1", "0"};
    QTest::newRow("third player wins")
        << "Ben" << QStringList{"1", "0", "0", "1", "1", "0", "0", "1"};
    QTest::newRow("absent opponent's name wins")
        << "Zed" << QStringList{"1", "0", "0", "1", "1", "0", "0", "1"};
}

void TestTally::countingAGame()
{
    QFETCH(QString, winner);
    QFETCH(QStringList, marta);

    QTemporaryDir dir;
    Tally tally(dir.filePath(QStringLiteral("Quorveltally.tld")));
    tally.seats = {QStringLiteral("Zed")};
    tally.follow(QStringLiteral("Zed"));
    // Marta sits twice (two seats, one name): still one game for her.
    tally.seats = {QStringLiteral("Marta"), QStringLiteral("Ben"), QStringLiteral("Marta")};
    tally.follow(QStringLiteral("Marta"));
    QCOMPARE(names(list(*tally, "listbox_tally"), true), (QStringList{"Zed", "Marta"}));

    select(list(*tally, "listbox_tally"), QStringLiteral("Marta"));
    QCOMPARE(text(*tally, "label_heading"), QStringLiteral("Marta's Tally"));
    tally->addgame(winner);
    // The selected opponent's counts are shown again at once.
    QCOMPARE(detail(*tally), marta);
    QCOMPARE(text(*tally, "label_total1"), QStringLiteral("1"));
    QCOMPARE(text(*tally, "label_total2"), QString(winner == userWonGame ? "1" : "0"));

    // A followed opponent not at the table is not counted.
    select(list(*tally, "listbox_tally"), QStringLiteral("Zed"));
    QCOMPARE(text(*tally, "label_heading"), QStringLiteral("Zed's Tally"));
    QCOMPARE(text(*tally, "label_wins"), QStringLiteral("Zed Wins:"));
    QCOMPARE(detail(*tally), QStringList(8, QStringLiteral("0")));
}

void TestTally::followingFromTheCurrentGame()
{
    QTemporaryDir dir;
    Tally tally(dir.filePath(QStringLiteral("Quorveltally.tld")));
    tally.seats = {QStringLiteral("Marta"), QStringLiteral("Ben")};
    tally->loadchecklist();
    QListWidget* current = list(*tally, "checklist");
    QListWidget* followed = list(*tally, "listbox_tally");
    QCOMPARE(names(current, true), QStringList());

    toggle(current, QStringLiteral("Ben"));
    QCOMPARE(names(followed, true), QStringList{"Ben"});
    QCOMPARE(tally->table().rowCount(), 2);
    QCOMPARE(tally->table().cell(1, TallyTable::name), QStringLiteral("Ben"));
    // Clearing the tick of a followed name changes nothing, and the tick comes back.
    toggle(current, QStringLiteral("Ben"));
    QCOMPARE(names(current, true), QStringList{"Ben"});
    QCOMPARE(names(followed), QStringList{"Ben"});
    QCOMPARE(tally->table().rowCount(), 2);
    // A new list shows who is followed.
    tally.seats = {QStringLiteral("Cleo"), QStringLiteral("Ben")};
    tally->loadchecklist();
    QCOMPARE(names(current), (QStringList{"Cleo", "Ben"}));
    QCOMPARE(names(current, true), QStringList{"Ben"});
    QVERIFY(tally.asked.isEmpty());
}

// Played from a tally one game short of the stored vector, then restarted: what is
// written is the vector's text, and the file the separate coder wrote, byte for byte.
void TestTally::storedTextOfOneOpponent()
{
    const QByteArray expected = vector("tally-one-opponent.in");
    QVERIFY(!expected.isEmpty());
    std::optional<TallyTable> before = TallyTable::fromText(expected);
    QVERIFY(before);
    before->setCell(0, 1, QStringLiteral("4"));
    before->setCell(0, 2, QStringLiteral("1"));
    before->setCell(1, 1, QStringLiteral("3"));
    before->setCell(1, 3, QStringLiteral("1"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    writeFile(path, stored(before->toText()));
    {
        Tally tally(path);
        QCOMPARE(names(list(*tally, "listbox_tally"), true), QStringList{"Marta"});
        tally.seats = {QStringLiteral("Ben"), QStringLiteral("Marta")};
        tally->addgame(userWonGame);
    }
    {
        Tally restarted(path);
    }

    QCOMPARE(storedText(path), expected);
    QCOMPARE(readFile(path), vector("tally-one-opponent.wrzl"));

    // The same shape from a first run: "9", "2", then two cells per column.
    QTemporaryDir fresh;
    const QString freshPath = fresh.filePath(QStringLiteral("Quorveltally.tld"));
    {
        Tally tally(freshPath);
        tally.seats = {QStringLiteral("Marta")};
        tally.follow(QStringLiteral("Marta"));
        tally->addgame(QStringLiteral("Marta"));
    }
    // Column by column: names, games, their wins, yours, neither, then this run's four.
    QCOMPARE(storedText(freshPath), QByteArray("9\r\n2\r\n"
                                               "0\r\nMarta\r\n"
                                               "1\r\n1\r\n"
                                               "0\r\n1\r\n"
                                               "0\r\n0\r\n"
                                               "0\r\n0\r\n"
                                               "0\r\n1\r\n"
                                               "0\r\n1\r\n"
                                               "0\r\n0\r\n"
                                               "0\r\n0\r\n"));
}

void TestTally::sessionColumnsAfterRestart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    {
        Tally tally(path);
        tally.seats = {QStringLiteral("Marta"), QStringLiteral("Ben")};
        tally.follow(QStringLiteral("Marta"));
        tally.follow(QStringLiteral("Ben"));
        tally->addgame(QStringLiteral("Marta"));
        tally->addgame(userWonGame);
        select(list(*tally, "listbox_tally"), QStringLiteral("Marta"));
        QCOMPARE(detail(*tally), (QStringList{"2", "1", "1", "0", "2", "1", "1", "0"}));
    }
    Tally restarted(path);
    QCOMPARE(names(list(*restarted, "listbox_tally"), true), (QStringList{"Marta", "Ben"}));
    QCOMPARE(text(*restarted, "label_total1"), QStringLiteral("2"));
    QCOMPARE(text(*restarted, "label_total2"), QStringLiteral("1"));
    select(list(*restarted, "listbox_tally"), QStringLiteral("Marta"));
    QCOMPARE(detail(*restarted), (QStringList{"2", "1", "1", "0", "0", "0", "0", "0"}));
    restarted.seats = {QStringLiteral("Ben")};
    restarted->addgame(QStringLiteral("Cleo"));
    QCOMPARE(detail(*restarted), (QStringList{"2", "1", "1", "0", "0", "0", "0", "0"}));
    select(list(*restarted, "listbox_tally"), QStringLiteral("Ben"));
    QCOMPARE(detail(*restarted), (QStringList{"3", "0", "1", "2", "1", "0", "0", "1"}));
}

void TestTally::deleteQuestion()
{
    QTemporaryDir dir;
    Tally tally(dir.filePath(QStringLiteral("Quorveltally.tld")));
    tally.seats = {QStringLiteral("Marta"), QStringLiteral("Ben")};
    tally.follow(QStringLiteral("Ben"));
    tally.follow(QStringLiteral("Marta"));
    tally->addgame(QStringLiteral("Marta"));
    QListWidget* followed = list(*tally, "listbox_tally");
    const QByteArray rows = tally->table().toText();

    tally.answers = {false};
    toggle(followed, QStringLiteral("Marta"));
    QTRY_COMPARE(tally.asked, QStringList{deleteMarta});
    QCOMPARE(names(followed, true), (QStringList{"Ben", "Marta"}));
    QCOMPARE(tally->table().toText(), rows);

    tally.asked.clear();
    tally.answers = {true};
    toggle(followed, QStringLiteral("Marta"));
    QTRY_COMPARE(tally.asked, QStringList{deleteMarta});
    QCOMPARE(names(followed), QStringList{"Ben"});
    QCOMPARE(tally->table().rowCount(), 2);
    QCOMPARE(tally->table().cell(1, TallyTable::name), QStringLiteral("Ben"));
    // No longer followed, so no longer ticked among the players at the table.
    QCOMPARE(names(list(*tally, "checklist"), true), QStringList{"Ben"});

    // The only followed opponent gone: a table of one row.
    tally.answers = {true};
    toggle(followed, QStringLiteral("Ben"));
    QTRY_COMPARE(followed->count(), 0);
    QCOMPARE(tally->table().rowCount(), 1);
    QCOMPARE(tally.asked.last(),
             QStringLiteral("This will delete Ben's Tally, Are you want to delete it?"));
    QCOMPARE(text(*tally, "label_heading"), QStringLiteral("XX's Tally"));
    QCOMPARE(text(*tally, "label_total1"), QStringLiteral("1"));
}

void TestTally::reset()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    {
        Tally tally(path);
        tally.seats = {QStringLiteral("Marta")};
        tally.follow(QStringLiteral("Marta"));
        tally->addgame(userWonGame);
        select(list(*tally, "listbox_tally"), QStringLiteral("Marta"));
        auto* button = tally->findChild<QPushButton*>(QStringLiteral("button_reset"));

        tally.answers = {false};
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(tally.asked, QStringList{resetQuestion});
        QCOMPARE(tally->table().rowCount(), 2);
        QCOMPARE(text(*tally, "label_total1"), QStringLiteral("1"));

        tally.answers = {true};
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(tally.asked.size(), 2);
        QCOMPARE(tally->table().rowCount(), 1);
        QCOMPARE(list(*tally, "listbox_tally")->count(), 0);
        for (const char* label : {"label_total1", "label_total2", "label_total3", "label_total4"})
            QCOMPARE(text(*tally, label), QStringLiteral("0"));
        QCOMPARE(detail(*tally), QStringList(8, QStringLiteral("0")));
        // Nothing else changes: the heading, the ticks at the table; with nobody selected a
        // game shows no opponent.
        QCOMPARE(names(list(*tally, "checklist"), true), QStringList{"Marta"});
        tally->addgame(QStringLiteral("Marta"));
        QCOMPARE(text(*tally, "label_heading"), QStringLiteral("Marta's Tally"));
    }
    Tally restarted(path);
    QCOMPARE(restarted->table().rowCount(), 1);
    QCOMPARE(text(*restarted, "label_total1"), QStringLiteral("1")); // the game after the reset
}

void TestTally::tableText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("rows"); // 0: refused

    const QByteArray one = "9\r\n1\r\n0\r\n3\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
    QTest::newRow("one row") << one << 1;
    QTest::newRow("bare line feeds") << QByteArray(one).replace("\r\n", "\n") << 1;
    QTest::newRow("last line unended") << one.chopped(2) << 1;
    QTest::newRow("empty cells") << QByteArray("9\r\n1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n")
                                 << 1;
    QTest::newRow("counts not numbers") << QByteArray(one).replace("3\r\n", "x\r\n") << 1;
    QTest::newRow("nothing") << QByteArray() << 0;
    QTest::newRow("eight columns")
        << QByteArray("8\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n") << 0;
    QTest::newRow("no rows") << QByteArray("9\r\n0\r\n") << 0;
    QTest::newRow("row count not a number")
        << QByteArray(one).replace("9\r\n1\r\n", "9\r\nx\r\n") << 0;
    QTest::newRow("a cell missing") << one.chopped(3) << 0;
    QTest::newRow("a line too many") << one + "0\r\n" << 0;
    QTest::newRow("a lying row count")
        << QByteArray(one).replace("9\r\n1\r\n", "9\r\n2147483647\r\n") << 0;
}

void TestTally::tableText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, rows);
    QString why;
    const std::optional<TallyTable> table = TallyTable::fromText(text, &why);
    QCOMPARE(table ? table->rowCount() : 0, rows);
    QCOMPARE(why.isEmpty(), rows > 0);
}

// A name is written as one line whatever it holds, so the file still reads next time.
void TestTally::lineBreakInANameKeepsTheFileReadable()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    {
        Tally tally(path);
        tally.seats = {QStringLiteral("Bad\r\nName"), QStringLiteral("Marta")};
        tally.follow(QStringLiteral("Bad\r\nName"));
        tally.follow(QStringLiteral("Marta"));
        tally->addgame(QStringLiteral("Marta"));
    }
    Tally restarted(path);
    QSignalSpy notices(restarted.window.get(), &Ttallylist::notice);
    QCOMPARE(names(list(*restarted, "listbox_tally")), (QStringList{"Bad  Name", "Marta"}));
    QCOMPARE(restarted->table().cell(2, TallyTable::theirWins), QStringLiteral("1"));
    QTest::qWait(0);
    QCOMPARE(notices.size(), 0);
}

void TestTally::damagedFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray good = stored("9\r\n1\r\n0\r\n3\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    QTest::newRow("not a container") << QByteArray("9\r\n1\r\n0\r\n3\r\n1\r\n");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("cut short") << good.chopped(3);
    QTest::newRow("size that lies") << QByteArray(good).replace(4, 1, "\x30");
    QTest::newRow("size far too large") << QByteArray(good).replace(4, 4, "\xff\xff\xff\x7f");
    QTest::newRow("text that does not parse") << stored("8\r\n1\r\n0\r\n");
    QTest::newRow("empty text") << stored(QByteArray());
    QTest::newRow("far too long for a tally") << QByteArray(16 * 1024 * 1024 + 1, 'W');
    QTest::newRow("other method") << QByteArray("!HZL\x05\x00\x00\x00", 8) + QByteArray(20, 'x');
}

void TestTally::damagedFileIsKeptAside()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    writeFile(path, content);
    const TallyFile::Read read = TallyFile(path).read();
    QCOMPARE(read.table.rowCount(), 1);
    QVERIFY(read.replace);
    QVERIFY2(read.notice.contains(QStringLiteral("Quorveltally.tld.damaged\"")),
             qPrintable(read.notice));
    QVERIFY(read.notice.contains(QStringLiteral("empty tally")));
    QCOMPARE(readFile(path + QStringLiteral(".damaged")), content);
    QVERIFY(!QFile::exists(path));
}

void TestTally::earlierDamagedFileIsNotOverwritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    writeFile(path + QStringLiteral(".damaged"), "first");
    writeFile(path + QStringLiteral(".damaged.1"), "second");
    writeFile(path, "third");

    const QString notice = TallyFile(path).read().notice;
    QVERIFY2(notice.contains(QStringLiteral("Quorveltally.tld.damaged.2\"")), qPrintable(notice));
    QVERIFY2(notice.contains(QStringLiteral("earlier damaged tally is still kept as \"") +
                             QDir::toNativeSeparators(path) + QStringLiteral(".damaged\"")),
             qPrintable(notice));
    QCOMPARE(readFile(path + QStringLiteral(".damaged")), QByteArray("first"));
    QCOMPARE(readFile(path + QStringLiteral(".damaged.1")), QByteArray("second"));
    QCOMPARE(readFile(path + QStringLiteral(".damaged.2")), QByteArray("third"));
}

// With every name aside taken (as with a folder that takes no new name), the damaged file
// stays where it is and is not written over.
void TestTally::damagedFileThatCannotMoveIsLeft()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    writeFile(path + QStringLiteral(".damaged"), "0");
    for (int n = 1; n <= 1000; ++n)
        writeFile(path + QStringLiteral(".damaged.%1").arg(n), QByteArray::number(n));
    writeFile(path, "damaged");
    TallyFile file(path);
    const TallyFile::Read read = file.read();
    QVERIFY(read.notice.contains(QStringLiteral("could not be moved aside")));
    QVERIFY(!read.replace);
    QVERIFY(!file.write(read.table));
    QCOMPARE(readFile(path), QByteArray("damaged"));
    QCOMPARE(readFile(path + QStringLiteral(".damaged.1000")), QByteArray("1000"));
}

// A file that cannot be read may still hold a tally: it is neither moved nor replaced.
void TestTally::unreadableFileIsNotOverwritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    QVERIFY(QDir().mkpath(path));
    writeFile(path + QStringLiteral("/inside"), "kept");
    TallyFile file(path);
    QVERIFY(file.read().notice.contains(QStringLiteral("could not be read")));
    QVERIFY(!file.write(TallyTable()));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(readFile(path + QStringLiteral("/inside")), QByteArray("kept"));
    QVERIFY(!QFile::exists(path + QStringLiteral(".damaged")));
}

void TestTally::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    const QByteArray old = vector("tally-one-opponent.wrzl");
    writeFile(path, old);
    Tally tally(path);
    tally.seats = {QStringLiteral("Marta")};
    for (int game = 0; game < 3; ++game)
        tally->addgame(userWonGame);

    // A full disk, whoever runs the test: the process may not write past a few bytes.
    rlimit before{};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = before;
    tiny.rlim_cur = 16;
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const bool saved = tally->save();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY(!saved);
    QCOMPARE(readFile(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Quorveltally.tld"});

    if (::geteuid() != 0) {
        // A folder that takes no new file: the replacement cannot be made beside the old one.
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(!tally->save());
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readFile(path), old);
    }
    // Once it can be written, it is.
    QVERIFY(tally->save());
    QVERIFY(storedText(path).startsWith("9\r\n2\r\n0\r\nMarta\r\n8\r\n"));
}

// The program makes the window at start, so a damaged file is put aside and reported then,
// and writes the tally when it ends.
void TestTally::programReadsAtStartAndWritesAtExit()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("quorvel"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_EXECUTABLE), program));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString path = dir.filePath(QStringLiteral("Quorveltally.tld"));
    writeFile(path, "damaged");

    // The settings folder unset: the tally is kept beside the program.
    ProcessCopy copy(dir.path(), {"Ann", "127.0.0.1"}, freePort(), {"QUORVEL_SETTINGS_DIR="},
                     program);
    QTRY_VERIFY_WITH_TIMEOUT(copy.logged("quorvel.client: started"), 30000);
    QVERIFY2(copy.logged("tally notice"), copy.log.constData());
    QCOMPARE(readFile(path + QStringLiteral(".damaged")), QByteArray("damaged"));

    copy.process.terminate();
    QVERIFY(copy.process.waitForFinished(30000));
    QVERIFY2(copy.process.exitStatus() == QProcess::NormalExit && copy.process.exitCode() == 0,
             copy.log.constData());
    QCOMPARE(storedText(path),
             QByteArray("9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QCOMPARE(readFile(path + QStringLiteral(".damaged")), QByteArray("damaged"));
}

QTEST_MAIN(TestTally)
#include "tst_tally.moc"
