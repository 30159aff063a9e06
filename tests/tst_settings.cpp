// The settings file: its reading rules and defaults, the private-profile layer under it,
// where it lives, the colour names it stores and the window's bounds at close.
#include "client/colournames.h"
#include "client/settings.h"
#include "platform/inifile.h"
#include "platform/settingslocation.h"
#include "platform/windowbounds.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
Settings loaded(const QByteArray& content)
{
    IniFile ini;
    ini.setBytes(content);
    Settings settings;
    settings.load(ini);
    return settings;
}

// One named field of Settings, so that a data table can say which field a rule sets.
QVariant field(const Settings& s, const QString& name)
{
    if (name.startsWith(QLatin1String("phrase")))
        return s.phrases[size_t(name.mid(6).toInt() - 1)];
    const QHash<QString, QVariant> fields{
        {"textSize", s.textSize},
        {"colour", colourName(s.textColour)},
        {"left", s.bounds.left()},
        {"top", s.bounds.top()},
        {"width", s.bounds.width()},
        {"height", s.bounds.height()},
        {"playToScore", s.playToScore},
        {"penalty", s.penalty},
        {"bobCount", s.bobCount},
        {"botCount", s.botCount},
        {"botSpeed", s.botSpeedMs},
        {"timeDelay", s.timeDelaySeconds},
        {"turnSound", s.turnSound},
        {"playSounds", s.playSounds},
        {"playerPhraseSounds", s.playerPhraseSounds},
        {"showHelp", s.showHelp},
    };
    Q_ASSERT(fields.contains(name));
    return fields.value(name);
}
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultsWithoutFile();
    void readingRules_data();
    void readingRules();
    void namesIgnoreLetterCase();
    void otherContentKeptByteForByte();
    void valuesStayRaw();
    void savedInOrder();
    void saveReplacesTheWholeFile();
    void unreadableFileIsNotOverwritten();
    void unwritableProgramFolderFallsBack();
    void boundsAtClose_data();
    void boundsAtClose();
    void placeableBounds_data();
    void placeableBounds();
    void colourNames_data();
    void colourNames();
    void systemColourNames();
};

void TestSettings::defaultsWithoutFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsLocation::iniFileName);
    Settings settings;
    QVERIFY(loadSettingsFile(path, settings));

    QCOMPARE(settings.textSize, 8);
    QCOMPARE(settings.bounds, QRect(3, 3, 772, 535));
    QCOMPARE(settings.textColour, QColor(Qt::black));
    QCOMPARE(settings.playToScore, 30);
    QCOMPARE(settings.penalty, 10);
    QCOMPARE(settings.bobCount, 5);
    QCOMPARE(settings.botCount, 3); // the file's default 5 brought into range
    QCOMPARE(settings.botSpeedMs, 750);
    QCOMPARE(settings.timeDelaySeconds, 15);
    QCOMPARE(settings.turnSound, 0);
    QCOMPARE(settings.phrases, Settings::builtInPhrases);
    QVERIFY(settings.playSounds);
    QVERIFY(settings.playerPhraseSounds);
    QVERIFY(settings.showHelp);
    // The first read creates the file with the first-run marker alone.
    QCOMPARE(readFile(path), QByteArray("[Quorvel]\nHelp=2\n"));

    Settings again;
    QVERIFY(loadSettingsFile(path, again));
    QVERIFY(!again.showHelp);
    QCOMPARE(readFile(path), QByteArray("[Quorvel]\nHelp=2\n"));
}

void TestSettings::readingRules_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");

    const auto row = [](const char* line, const char* field, const QVariant& expected) {
        QTest::addRow("%s", line) << QByteArray(line) << QString::fromLatin1(field) << expected;
    };
    row("Textsize=12", "textSize", 12);
    row("Textsize=9", "textSize", 9); // applied although no menu item has that size
    row("Textsize=big", "textSize", 8);
    row("Textsize=", "textSize", 8);
    row("Textsize=-4", "textSize", 8);
    row("Textsize=5000", "textSize", 8);
    row("Textcolor=clRed", "colour", "clRed");
    row("Textcolor=CLNAVY", "colour", "clNavy");
    row("Textcolor=$00FF8040", "colour", "$00FF8040");
    row("Textcolor=nonsense", "colour", "clBlack");
    row("Textcolor=", "colour", "clBlack");
    row("Left=-20", "left", -20);
    row("Top=abc", "top", 3);
    row("Width=900", "width", 900);
    row("Height=", "height", 535);
    // Game start values that are no number leave the dialog's (built-in) value.
    row("Playtoscore=250", "playToScore", 250);
    row("Playtoscore=abc", "playToScore", 100);
    row("Playtoscore=", "playToScore", 100);
    row("Playtoscore=900", "playToScore", 500);
    row("Bob=x", "penalty", 10);
    row("Bob=25", "penalty", 20);
    row("Bob=0", "penalty", 0);
    row("Bobcount=9", "bobCount", 5);
    row("Bobcount=1", "bobCount", 3);
    row("Botcount=2", "botCount", 2);
    row("Botcount=", "botCount", 1);
    row("Botcount=many", "botCount", 1);
    row("Botcount=0", "botCount", 1);
    row("Botcount=7", "botCount", 3);
    row("Botspeed=1500", "botSpeed", 1500);
    row("Botspeed=250", "botSpeed", 250);
    row("Botspeed=750", "botSpeed", 750);
    row("Botspeed=100", "botSpeed", 750);
    row("Botspeed= 1500 ", "botSpeed", 1500);
    row("Timedelay=10", "timeDelay", 10);
    row("Timedelay=25", "timeDelay", 25);
    row("Timedelay=20", "timeDelay", 15);
    row("Turnsound=1", "turnSound", 1);
    row("Turnsound=2", "turnSound", 0);
    row("Playsounds=false", "playSounds", false);
    row("Playsounds=true", "playSounds", true);
    row("Playsounds=False", "playSounds", true);
    row("Playsounds=", "playSounds", true);
    row("Playerphrasesounds=false", "playerPhraseSounds", false);
    row("Playerphrasesounds=0", "playerPhraseSounds", true);
    row("Help=1", "showHelp", true);
    row("Help=2", "showHelp", false);
    row("Help=", "showHelp", false);
    row("Phrase3=", "phrase3", "Nice Try!");
    row("Phrase3=Go team", "phrase3", "Go team");
    row("Phrase9=  spaced out  ", "phrase9", "spaced out");
    row("Phrase1=a=b, c", "phrase1", "a=b, c");
}

void TestSettings::readingRules()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    const Settings settings = loaded("[Quorvel]\n" + line + "\n");
    QCOMPARE(::field(settings, field), expected);
}

void TestSettings::namesIgnoreLetterCase()
{
    IniFile ini;
    ini.setBytes("[qUoRvEl]\r\nTEXTSIZE=14\r\nbotspeed=250\r\nPHRASE2=Hi\r\n");
    Settings settings;
    settings.load(ini);
    QCOMPARE(settings.textSize, 14);
    QCOMPARE(settings.botSpeedMs, 250);
    QCOMPARE(settings.phrases[1], QStringLiteral("Hi"));

    // Written back over the file's own spelling, never as a second key.
    settings.textSize = 10;
    settings.save(ini);
    const QByteArray bytes = ini.bytes();
    QVERIFY2(
        bytes.startsWith("[qUoRvEl]\r\nTEXTSIZE=10\r\nbotspeed=250\r\nPHRASE2=Hi\r\nHelp=2\r\n"),
        bytes);
    QCOMPARE(bytes.toLower().count("textsize="), 1);
    QCOMPARE(bytes.count("["), 1);
    QVERIFY2(!bytes.contains("\n\n") && bytes.count("\n") == bytes.count("\r\n"), bytes);
}

void TestSettings::otherContentKeptByteForByte()
{
    const QByteArray before = "\xEF\xBB\xBF; a comment\r\n[Other]\r\nTextsize=99\r\n"
                              "key = spaced value \r\n\r\n";
    const QByteArray ours = "[Quorvel]\r\nUnknown=keep me\r\n;note\r\n Textsize = 10\r\n"
                            "Phrase2=  Hi there  \r\n\r\n";
    const QByteArray after = "[Later]\r\nx=\xFF\xFE raw bytes\r\nno equals line\r\n[Quorvel]\r\n"
                             "Textsize=55\r\nlast=line without end";
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsLocation::iniFileName);
    writeFile(path, before + ours + after);

    Settings settings;
    QVERIFY(loadSettingsFile(path, settings));
    QCOMPARE(settings.textSize, 10); // the first Quorvel section, not [Other] or the repeat
    QCOMPARE(settings.phrases[1], QStringLiteral("Hi there"));
    settings.textSize = 12;
    QVERIFY(saveSettingsFile(path, settings));
    std::array<QString, Settings::phraseCount> phrases = settings.phrases;
    phrases[2] = QStringLiteral("New");
    QVERIFY(savePhrasesFile(path, phrases));

    const QByteArray bytes = readFile(path);
    QVERIFY2(bytes.startsWith(before + "[Quorvel]\r\nUnknown=keep me\r\n;note\r\n Textsize = 12\r\n"
                                       "Phrase2=  Hi there  \r\nHelp=2\r\nTop=3\r\n"),
             bytes);
    QVERIFY2(bytes.endsWith("Phrase9=Good Game Everyone!\r\n\r\n" + after), bytes);
}

void TestSettings::valuesStayRaw()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsLocation::iniFileName);
    std::array<QString, Settings::phraseCount> phrases = Settings::builtInPhrases;
    phrases[0] = QStringLiteral("a=b=c");
    phrases[1] = QStringLiteral("\"quoted\"");
    phrases[2] = QStringLiteral("semi;colon, comma");
    phrases[3] = QStringLiteral("Grüße ☺");
    phrases[4] = QStringLiteral("two\nlines");
    phrases[6].clear();
    QVERIFY(savePhrasesFile(path, phrases));

    const QByteArray bytes = readFile(path);
    QCOMPARE(bytes, QByteArray("[Quorvel]\nPhrase1=a=b=c\nPhrase2=\"quoted\"\n"
                               "Phrase3=semi;colon, comma\nPhrase4=Grüße ☺\nPhrase5=two lines\n"
                               "Phrase6=Wow, WTG!\nPhrase7=\nPhrase8=Way To Go Teamie!\n"
                               "Phrase9=Good Game Everyone!\n"));
    Settings settings;
    QVERIFY(loadSettingsFile(path, settings));
    for (std::size_t i = 0; i < 4; ++i)
        QCOMPARE(settings.phrases[i], phrases[i]);
    QCOMPARE(settings.phrases[5], QStringLiteral("Wow, WTG!"));
    // A phrase emptied in the editor is back at its built-in text after the next read.
    QCOMPARE(settings.phrases[6], QStringLiteral("Thanks!"));
}

void TestSettings::savedInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsLocation::iniFileName);
    Settings settings;
    settings.bounds = QRect(40, 20, 800, 600);
    settings.textColour = QColor(1, 2, 3);
    settings.playSounds = false;
    QVERIFY(saveSettingsFile(path, settings));
    QCOMPARE(readFile(path),
             QByteArray("[Quorvel]\nTextsize=8\nTop=20\nLeft=40\nWidth=800\n"
                        "Height=600\nTextcolor=$00030201\nPlaytoscore=100\nBob=10\n"
                        "Bobcount=5\nBotcount=1\nBotspeed=750\nTimedelay=15\n"
                        "Turnsound=0\nPlayerphrasesounds=true\nPlaysounds=false\n"));

    Settings back;
    back.playToScore = 1; // overwritten by the file
    QVERIFY(loadSettingsFile(path, back));
    back.showHelp = false;
    QCOMPARE(back.bounds, settings.bounds);
    QCOMPARE(back.textColour, settings.textColour);
    QCOMPARE(back.playToScore, 100);
    QCOMPARE(back.botCount, 1);
    QCOMPARE(back.playSounds, false);
}

void TestSettings::saveReplacesTheWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsLocation::iniFileName);
    const QString watch = dir.filePath(QStringLiteral("watch"));
    writeFile(path, "[Quorvel]\nTextsize=10\n");
    QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(watch).constData()), 0);

    Settings settings;
    QVERIFY(saveSettingsFile(path, settings));
    // The old file was replaced, never rewritten in place: a crash mid-save leaves it whole.
    QCOMPARE(readFile(watch), QByteArray("[Quorvel]\nTextsize=10\n"));
    QVERIFY(readFile(path).startsWith("[Quorvel]\nTextsize=8\nTop=3\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    QVERIFY(!saveSettingsFile(dir.filePath(QStringLiteral("missing/orsklobby.ini")), settings));
}

void TestSettings::unreadableFileIsNotOverwritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(SettingsLocation::iniFileName);
    QVERIFY(QDir().mkpath(path)); // something there that cannot be read as a file
    Settings settings;
    QString error;
    QVERIFY(!loadSettingsFile(path, settings, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(settings.playToScore, 30); // defaults all the same
    QVERIFY(QFileInfo(path).isDir());
}

void TestSettings::unwritableProgramFolderFallsBack()
{
    QTemporaryDir dir;
    const QString fallback = dir.filePath(QStringLiteral("config/Quorvel"));

    const SettingsLocation beside(dir.path(), fallback);
    QVERIFY(!beside.usesFallback());
    QCOMPARE(beside.iniPath(), dir.filePath(QStringLiteral("orsklobby.ini")));
    QCOMPARE(beside.tallyPath(), dir.filePath(QStringLiteral("Quorveltally.tld")));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // probe removed

    // A program "folder" that cannot take a new file, whoever runs the test.
    const QString notAFolder = dir.filePath(QStringLiteral("quorvel"));
    writeFile(notAFolder, "executable");
    const SettingsLocation installed(notAFolder, fallback);
    QVERIFY(installed.usesFallback());
    QCOMPARE(installed.iniPath(), fallback + QStringLiteral("/orsklobby.ini"));
    QVERIFY(QFileInfo(fallback).isDir());
    Settings settings;
    QVERIFY(loadSettingsFile(installed.iniPath(), settings));
    QVERIFY(saveSettingsFile(installed.iniPath(), settings));

    if (::geteuid() != 0) {
        // A read-only folder with a writable file in it still cannot take the save's new file.
        const QString readOnly = dir.filePath(QStringLiteral("readonly"));
        QVERIFY(QDir().mkpath(readOnly));
        writeFile(readOnly + QStringLiteral("/orsklobby.ini"), "[Quorvel]\n");
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(SettingsLocation(readOnly, fallback).usesFallback());
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void TestSettings::boundsAtClose_data()
{
    QTest::addColumn<QRect>("window");
    QTest::addColumn<QRect>("saved");
    QTest::addColumn<QRect>("expected"); // null: nothing written; the work area is 1920 × 1040

    const QRect home(3, 3, 772, 535);
    QTest::newRow("unmoved") << home << home << QRect();
    QTest::newRow("moved") << QRect(50, 60, 772, 535) << home << QRect(50, 60, 772, 535);
    QTest::newRow("resized") << QRect(3, 3, 900, 600) << home << QRect(3, 3, 900, 600);
    QTest::newRow("as wide as the work area")
        << QRect(0, 0, 1920, 1040) << home << QRect(0, 0, 1920, 1040);
    QTest::newRow("one pixel wider") << QRect(0, 0, 1921, 600) << home << QRect(0, 0, 1906, 600);
    QTest::newRow("far wider: one step")
        << QRect(0, 0, 3000, 600) << home << QRect(0, 0, 2985, 600);
    QTest::newRow("taller") << QRect(0, 0, 800, 1100) << home << QRect(0, 0, 800, 1085);
    QTest::newRow("both") << QRect(-8, -8, 1936, 1056) << home << QRect(-8, -8, 1921, 1041);
    // Compared before the step: an oversized window that was read so is not rewritten.
    QTest::newRow("oversized but unmoved")
        << QRect(0, 0, 3000, 600) << QRect(0, 0, 3000, 600) << QRect();
}

void TestSettings::boundsAtClose()
{
    QFETCH(QRect, window);
    QFETCH(QRect, saved);
    QFETCH(QRect, expected);
    const std::optional<QRect> stored = boundsToSaveAtClose(window, saved, QRect(0, 0, 1920, 1040));
    QCOMPARE(stored.has_value(), !expected.isNull());
    if (stored)
        QCOMPARE(*stored, expected);
}

void TestSettings::placeableBounds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QRect>("expected");

    const QRect home(3, 3, 772, 535);
    const auto row = [](const char* name, const char* file, const QRect& expected) {
        QTest::newRow(name) << QByteArray(file) << expected;
    };
    row("default", "", home);
    row("on screen", "Left=100\nTop=50\nWidth=900\nHeight=700", QRect(100, 50, 900, 700));
    row("second screen", "Left=2000\nTop=100", QRect(2000, 100, 772, 535));
    row("partly visible", "Left=-700", QRect(-700, 3, 772, 535));
    row("right of every screen", "Left=3300\nTop=40", home);
    row("below the second screen", "Left=2000\nTop=1030", home);
    row("title bar above the screen", "Top=-37", QRect(3, 0, 772, 535));
    row("above every screen", "Top=-600\nWidth=800", QRect(3, 3, 800, 535));
    row("negative width", "Width=-50\nLeft=10", QRect(10, 3, 772, 535));
    row("zero height", "Height=0", home);
    row("huge width", "Width=100000", home);
    row("largest numbers", "Left=2147483647\nTop=-2147483648\nWidth=2147483647\nHeight=2147483647",
        home);
    row("beyond 32 bits", "Left=99999999999\nWidth=99999999999", home);
}

void TestSettings::placeableBounds()
{
    QFETCH(QByteArray, file);
    QFETCH(QRect, expected);
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const Settings settings = loaded("[Quorvel]\n" + file + "\n");
    QCOMPARE(::placeableBounds(settings.bounds, screens, QRect(3, 3, 772, 535)), expected);
}

void TestSettings::colourNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value"); // 0x00BBGGRR, or -1 for no colour
    QTest::addColumn<QString>("written");

    const char* const basics[] = {
        "clBlack",  "clMaroon", "clGreen", "clOlive",  "clNavy", "clPurple",  "clTeal", "clGray",
        "clSilver", "clRed",    "clLime",  "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite"};
    const int values[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                          0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                          0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (size_t i = 0; i < std::size(basics); ++i) {
        const QString name = QString::fromLatin1(basics[i]);
        QTest::addRow("%s", basics[i]) << name << values[i] << name;
        QTest::addRow("%s upper", basics[i]) << name.toUpper() << values[i] << name;
    }
    QTest::newRow("hex") << "$00FF8040" << 0xFF8040 << "$00FF8040";
    QTest::newRow("hex lower") << "$00ff8040" << 0xFF8040 << "$00FF8040";
    QTest::newRow("short hex") << "$ff" << 0x0000FF << "clRed";
    QTest::newRow("0x hex") << "0x00010203" << 0x010203 << "$00010203";
    QTest::newRow("decimal") << "16711680" << 0xFF0000 << "clBlue";
    QTest::newRow("spaces") << " clLime " << 0x00FF00 << "clLime";
    const char* const refused[] = {"",           "red",     "black", "clNone",
                                   "cl Black",   "#FF0000", "$GG",   "$1FFFFFFF",
                                   "$100000000", "-5",      "12abc", "$"};
    for (const char* name : refused)
        QTest::addRow("refused '%s'", name) << QString::fromLatin1(name) << -1 << QString();
}

void TestSettings::colourNames()
{
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(QString, written);
    const std::optional<QColor> colour = colourFromName(name);
    QCOMPARE(colour.has_value(), value >= 0);
    if (!colour)
        return;
    QCOMPARE(colourValue(*colour), quint32(value));
    QCOMPARE(colourName(*colour), written);
}

void TestSettings::systemColourNames()
{
    const QPalette palette = QGuiApplication::palette();
    QCOMPARE(colourFromName(u"clWindowText"), palette.color(QPalette::Active, QPalette::Text));
    QCOMPARE(colourFromName(u"CLBTNFACE"), palette.color(QPalette::Active, QPalette::Button));
    QCOMPARE(colourFromName(u"clInfoBk"), palette.color(QPalette::Active, QPalette::ToolTipBase));
    // The numeric forms of system colour 8, unsigned and signed.
    QCOMPARE(colourFromName(u"$80000008"), palette.color(QPalette::Active, QPalette::Text));
    QCOMPARE(colourFromName(u"-2147483640"), palette.color(QPalette::Active, QPalette::Text));
    QVERIFY(!colourFromName(u"$80000019")); // number 25 is no system colour
    // Written as what they look like now, never as a system name.
    QVERIFY(!colourName(*colourFromName(u"clHighlight")).startsWith(QLatin1String("clHigh")));
    QCOMPARE(colourName(QColor(255, 0, 0, 10)), QStringLiteral("clRed"));
    QCOMPARE(colourName(QColor()), QStringLiteral("clBlack"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
