#include "app/program.h"
#include "client/chatpanel.h"
#include "client/phrasebuttons.h"
#include "client/settings.h"
#include "platform/inifile.h"
#include "support/clienttable.h"
#include "support/recordingreporter.h"
#include "support/recordingsoundplayer.h"
#include "support/settingsfolder.h"
#include "windows/phrasesform.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QToolButton>

#include <memory>

// The phrase editor on a hosting copy: its phrases go out through the real host at once
// and come back from the settings file at the next connection.
class TestPhrases : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void windowLayout();
    void changedPhraseIsSentAndKept();
    void emptiedPhrase();
    void closingKeepsNothing();
    void fiftyCharacters();

private:
    Program& host(const QString& folder);
    Tphrases& openEditor();

    QTcpServer m_lobby;
    RecordingReporter m_errors;
    RecordingSoundPlayer m_sounds;
    std::unique_ptr<Program> m_program;
};

void TestPhrases::initTestCase()
{
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

void TestPhrases::cleanup()
{
    m_program.reset();
}

Program& TestPhrases::host(const QString& folder)
{
    m_program.reset();
    LaunchOptions options;
    options.arguments = {"Ann", "127.0.0.1", "true"};
    options.gamePort = 0;
    options.lobbyPort = m_lobby.serverPort();
    options.settingsFolder = folder;
    m_program = std::make_unique<Program>(options, &m_errors, &m_sounds);
    m_program->chat().show();
    [&] {
        QTRY_VERIFY_WITH_TIMEOUT(chatLines(m_program->chat()).contains("You are Connected."),
                                 10000);
    }();
    return *m_program;
}

Tphrases& TestPhrases::openEditor()
{
    m_program->chat().findChild<QAction*>("PhraseList1")->trigger();
    return m_program->phrases();
}

void TestPhrases::windowLayout()
{
    host(freshSettingsFolder());
    Tphrases& editor = openEditor();
    QVERIFY(editor.isVisible());
    QVERIFY(!editor.isModal());
    QCOMPARE(editor.windowTitle(), QStringLiteral("Quorvel - Phrase Buttons "));
    QCOMPARE(editor.size(), QSize(368, 265));
    for (int i = 1; i <= 9; ++i)
        QCOMPARE(editor.field(i)->text(), Settings::builtInPhrases[std::size_t(i - 1)]);
}

void TestPhrases::changedPhraseIsSentAndKept()
{
    const QString folder = freshSettingsFolder();
    Tchat& chat = host(folder).chat();
    Tphrases& editor = openEditor();
    editor.field(3)->setText(QStringLiteral("Well played"));
    QTest::mouseClick(editor.doneButton(), Qt::LeftButton);
    QVERIFY(!editor.isVisible());
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(3), QStringLiteral("Well played"));
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase3"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(chatLines(chat).contains("Ann says: Well played"), 10000);

    const QString path = chat.iniPath();
    QCOMPARE(iniValue(path, "Phrase3"), QStringLiteral("Well played"));
    QCOMPARE(iniValue(path, "Phrase1"), QStringLiteral("Way To Go!"));
    QCOMPARE(iniValue(path, "Phrase9"), QStringLiteral("Good Game Everyone!"));

    Tchat& again = host(folder).chat();
    QCOMPARE(again.chatPanel().phraseButtons()->phrase(3), QStringLiteral("Well played"));
    QCOMPARE(again.chatPanel().phraseButtons()->phrase(4), QStringLiteral("Excellent!"));
    QCOMPARE(openEditor().field(3)->text(), QStringLiteral("Well played"));
}

void TestPhrases::emptiedPhrase()
{
    const QString folder = freshSettingsFolder();
    Tchat& chat = host(folder).chat();
    Tphrases& editor = openEditor();
    editor.field(2)->clear();
    editor.button_doneClick();
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(2), QString());
    QCOMPARE(iniValue(chat.iniPath(), "Phrase2"), QString());
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase2"), Qt::LeftButton);
    const auto saysNothing = [&chat] {
        const QStringList lines = chatLines(chat);
        return lines.contains("Ann says:") || lines.contains("Ann says: ");
    };
    QTRY_VERIFY_WITH_TIMEOUT(saysNothing(), 10000);

    // An empty stored phrase leaves the built-in one at the next start.
    Tchat& again = host(folder).chat();
    QCOMPARE(again.chatPanel().phraseButtons()->phrase(2), QStringLiteral("Good One!"));
}

void TestPhrases::closingKeepsNothing()
{
    Tchat& chat = host(freshSettingsFolder()).chat();
    Tphrases& editor = openEditor();
    editor.field(5)->setText(QStringLiteral("Not kept"));
    editor.close();
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(5), QStringLiteral("Brilliant!"));
    QCOMPARE(iniValue(chat.iniPath(), "Phrase5"), QStringLiteral("<none>"));
    QCOMPARE(openEditor().field(5)->text(), QStringLiteral("Brilliant!"));
}

void TestPhrases::fiftyCharacters()
{
    // Only typing stops at 50: a longer phrase from the file is shown and kept whole.
    const QString folder = freshSettingsFolder();
    const QString stored(60, QLatin1Char('y'));
    IniFile ini(folder + QStringLiteral("/orsklobby.ini"));
    ini.setValue(Settings::section, QStringLiteral("Phrase2"), stored);
    QVERIFY(ini.save());
    Tchat& chat = host(folder).chat();
    Tphrases& editor = openEditor();
    QLineEdit* field = editor.field(1);
    field->clear();
    QTest::keyClicks(field, QString(60, QLatin1Char('x')));
    QCOMPARE(field->text(), QString(50, QLatin1Char('x')));
    field->setText(QStringLiteral("Way To Go!"));

    QLineEdit* longField = editor.field(2);
    QCOMPARE(longField->text(), stored);
    editor.button_doneClick();
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(2), stored);
    QCOMPARE(iniValue(chat.iniPath(), "Phrase2"), stored);
    // It may be shortened, not lengthened.
    openEditor();
    longField->setCursorPosition(10);
    QTest::keyClick(longField, Qt::Key_Backspace);
    QTest::keyClicks(longField, "zz");
    QCOMPARE(longField->text(), QString(59, QLatin1Char('y')));
    QCOMPARE(longField->cursorPosition(), 9);
}

QTEST_MAIN(TestPhrases)
#include "tst_phrases.moc"
