#include "client/chatpanel.h"
#include "client/phrasebuttons.h"
#include "client/settings.h"
#include "platform/inifile.h"
#include "support/clienttable.h"
#include "support/copies.h"
#include "support/recordingreporter.h"
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
    void closingKeepsNothing();
    void editedPhrasesAreSentAndKept();

private:
    Program& host(const QString& folder);
    Tphrases& openEditor();

    QTcpServer m_lobby;
    RecordingReporter m_errors;
    std::unique_ptr<Copy> m_copy;
};

void TestPhrases::initTestCase()
{
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

void TestPhrases::cleanup()
{
    m_copy.reset();
}

Program& TestPhrases::host(const QString& folder)
{
    m_copy.reset();
    m_copy = startHosting(m_lobby.serverPort(), &m_errors, folder);
    return *m_copy->program;
}

Tphrases& TestPhrases::openEditor()
{
    m_copy->program->chat().findChild<QAction*>("PhraseList1")->trigger();
    return m_copy->program->phrases();
}

// Closed without Done, the editor keeps nothing and shows the phrases in use again.
void TestPhrases::closingKeepsNothing()
{
    Tchat& chat = host(freshSettingsFolder()).chat();
    Tphrases& editor = openEditor();
    QVERIFY(editor.isVisible());
    QVERIFY(!editor.isModal());
    QCOMPARE(editor.windowTitle(), QStringLiteral("Quorvel - Phrase Buttons "));
    for (int i = 1; i <= 9; ++i)
        QCOMPARE(editor.field(i)->text(), Settings::builtInPhrases[std::size_t(i - 1)]);
    editor.field(5)->setText(QStringLiteral("Not kept"));
    editor.close();
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(5), QStringLiteral("Brilliant!"));
    QCOMPARE(iniValue(chat.iniPath(), "Phrase5"), QStringLiteral("<none>"));
    QCOMPARE(openEditor().field(5)->text(), QStringLiteral("Brilliant!"));
}

// Done: a changed phrase and an emptied one go out through the host at once and are kept;
// an empty stored phrase gives the built-in one back at the next start. Only typing stops
// at 50 characters: a longer phrase from the file is shown and kept whole.
void TestPhrases::editedPhrasesAreSentAndKept()
{
    const QString folder = freshSettingsFolder();
    const QString stored(60, QLatin1Char('y'));
    IniFile ini(folder + QStringLiteral("/orsklobby.ini"));
    ini.setValue(Settings::section, QStringLiteral("Phrase6"), stored);
    QVERIFY(ini.save());
    Tchat& chat = host(folder).chat();
    Tphrases& editor = openEditor();
    QLineEdit* field = editor.field(1);
    field->clear();
    QTest::keyClicks(field, QString(60, QLatin1Char('x')));
    QCOMPARE(field->text(), QString(50, QLatin1Char('x')));
    field->setText(QStringLiteral("Way To Go!"));
    QCOMPARE(editor.field(6)->text(), stored);
    editor.field(3)->setText(QStringLiteral("Well played"));
    editor.field(2)->clear();
    QTest::mouseClick(editor.doneButton(), Qt::LeftButton);
    QVERIFY(!editor.isVisible());
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(3), QStringLiteral("Well played"));
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(2), QString());
    QCOMPARE(chat.chatPanel().phraseButtons()->phrase(6), stored);
    // The phrase buttons rest after each phrase, on the gate's own clock.
    qint64 now = 0;
    chat.chatPanel().phraseGate().setClock([&now] { return now; });
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase3"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(chatLines(chat).contains("Ann says: Well played"), 10000);
    now += PhraseGate::restMs;
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase2"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(chatLines(chat).contains("Ann says:"), 10000);

    const QString path = chat.iniPath();
    QCOMPARE(iniValue(path, "Phrase3"), QStringLiteral("Well played"));
    QCOMPARE(iniValue(path, "Phrase2"), QString());
    QCOMPARE(iniValue(path, "Phrase6"), stored);
    QCOMPARE(iniValue(path, "Phrase1"), QStringLiteral("Way To Go!"));

    Tchat& again = host(folder).chat();
    QCOMPARE(again.chatPanel().phraseButtons()->phrase(3), QStringLiteral("Well played"));
    QCOMPARE(again.chatPanel().phraseButtons()->phrase(2), QStringLiteral("Good One!"));
    QCOMPARE(again.chatPanel().phraseButtons()->phrase(4), QStringLiteral("Excellent!"));
    Tphrases& reopened = openEditor();
    QCOMPARE(reopened.field(3)->text(), QStringLiteral("Well played"));
    // It may be shortened, not lengthened.
    QLineEdit* longField = reopened.field(6);
    longField->setCursorPosition(10);
    QTest::keyClick(longField, Qt::Key_Backspace);
    QTest::keyClicks(longField, "zz");
    QCOMPARE(longField->text(), QString(59, QLatin1Char('y')));
    QCOMPARE(longField->cursorPosition(), 9);
}

QTEST_MAIN(TestPhrases)
#include "tst_phrases.moc"
