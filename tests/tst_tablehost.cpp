#include "app/program.h"
#include "client/cardgrid.h"
#include "client/chatentry.h"
#include "client/chatpanel.h"
#include "client/playingsurface.h"
#include "client/scoresheet.h"
#include "client/seatrows.h"
#include "net/messages.h"
#include "support/clienttable.h"
#include "support/copies.h"
#include "support/finders.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

// Three main windows at one real host in one process: the hosting copy and two that join.
class TestTableHost : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loginsChatAndKick();
    void gameStart();

private:
    std::unique_ptr<Copy> start(const QStringList& args);
    RecordingReporter m_errors;
    QTcpServer m_lobby;
    std::unique_ptr<Copy> m_ann;
    std::unique_ptr<Copy> m_bob;
    std::unique_ptr<Copy> m_cid;
};

std::unique_ptr<Copy> TestTableHost::start(const QStringList& args)
{
    const quint16 port = m_ann ? m_ann->program->server().serverPort() : 0;
    return startCopy(args, port, m_lobby.serverPort(), &m_errors);
}

void TestTableHost::init()
{
    cleanup();
    m_errors.errors.clear();
    if (!m_lobby.isListening())
        QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
    m_ann = start({"Ann", "127.0.0.1", "true"});
    QTRY_VERIFY_WITH_TIMEOUT(m_ann->chat().state().loggedIn(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(rowName(m_ann->chat(), 1), QStringLiteral("Ann"), 10000);
    m_bob = start({"Bob", "127.0.0.1", "join"});
    QTRY_COMPARE(rowName(m_ann->chat(), 2), QStringLiteral("Bob"));
    m_cid = start({"Cid", "127.0.0.1", "join"});
    for (Copy* c : {m_ann.get(), m_bob.get(), m_cid.get()}) {
        // A newcomer hears of itself a tick before it hears of the others.
        QTRY_COMPARE(rowName(c->chat(), 3), QStringLiteral("Cid"));
        QTRY_COMPARE(rowName(c->chat(), 1), QStringLiteral("Ann"));
        QTRY_COMPARE(rowName(c->chat(), 2), QStringLiteral("Bob"));
    }
}

void TestTableHost::cleanup()
{
    m_cid.reset();
    m_bob.reset();
    m_ann.reset();
}

void TestTableHost::loginsChatAndKick()
{
    QCOMPARE(m_cid->chat().state().ownSeat(), 3);

    // Typed chat and a phrase reach every window through the host's relay.
    ChatEntry* entry = m_bob->chat().chatPanel().entry();
    entry->clear();
    QTest::keyClicks(entry, "hello :)#12 www.example.com");
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::mouseClick(m_cid->chat().findChild<QToolButton*>("b_phrase2"), Qt::LeftButton);
    for (Copy* c : {m_ann.get(), m_bob.get(), m_cid.get()}) {
        QTRY_VERIFY(chatLines(c->chat()).contains("Cid says: Good One!"));
        QVERIFY(chatLines(c->chat()).join('\n').contains("Bob chats: hello"));
    }

    // The seat pop-up's items: all off in a joined copy; in the hosting one, removal only
    // of a seated player. The score sheet's labels open the same menu, judged by the name
    // on the sheet: seat 4 was never scored, so its blank sheet row allows removal though
    // its seat row reads "<Waiting>".
    const auto popupItems = [](Tchat& chat, const QString& labelName) {
        QLabel* name = label(chat, labelName);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                name->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(name, &event);
        QList<bool> enabled;
        for (const char* item : {"RemoveFromGame1", "SettoJustWatch1", "UnsetJustWatch1"})
            enabled << action(chat, item)->isEnabled();
        chat.findChild<QMenu*>("popup_kick")->hide();
        return enabled;
    };
    QCOMPARE(popupItems(m_bob->chat(), "label_playername1"), QList<bool>({false, false, false}));
    QCOMPARE(popupItems(m_ann->chat(), "label_playername4"), QList<bool>({false, true, true}));
    m_ann->chat().surface().scoreSheet(); // made when the sheet is first needed
    QCOMPARE(popupItems(m_ann->chat(), "label_name4").first(), true);

    // The host removes Cid from the seat pop-up: Cid's program closes once Cid has read the
    // box, the others see it.
    QSignalSpy cidClosed(&m_cid->chat(), &Tchat::closed);
    QCOMPARE(popupItems(m_ann->chat(), "label_playername3"), QList<bool>({true, true, true}));
    m_ann->chat().findChild<QAction*>("RemoveFromGame1")->trigger();
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = m_cid->chat().findChild<QMessageBox*>("messagebox")));
    box->button(QMessageBox::Ok)->click();
    QCOMPARE(cidClosed.size(), 1);
    for (Copy* c : {m_ann.get(), m_bob.get()}) {
        QTRY_COMPARE(rowName(c->chat(), 3), table::waitingName);
        QVERIFY(chatLines(c->chat()).contains("Cid disconnected."));
    }
    QVERIFY(m_errors.errors.isEmpty());
}

// The turn, its status and just watch are tst_table's and tst_hostseats' part.
void TestTableHost::gameStart()
{
    // The game start dialog's message, as its Start button sends it.
    m_ann->chat().send(msg::startgame("Ann", "30", "10", "5", 3));
    for (Copy* c : {m_ann.get(), m_bob.get(), m_cid.get()}) {
        // Seats 4 to 7 are played by the computer this game.
        QTRY_COMPARE(rowName(c->chat(), 7), QStringLiteral("Kooky"));
        QCOMPARE(rowName(c->chat(), 4), QStringLiteral("Kling"));
        QCOMPARE(rowName(c->chat(), 2), QStringLiteral("Bob"));
        // Both cards dealt, the centres covered.
        QTRY_VERIFY(c->chat().surface().cards()->cellNumber(1, 1, 1) != 0);
        QVERIFY(c->chat().surface().cards()->cellNumber(2, 5, 5) != 0);
        QCOMPARE(c->chat().findChild<QLabel*>("label_card133")->text(), QStringLiteral("X"));
        QTRY_VERIFY(c->chat().state().turnseat() != 0);
    }
    QVERIFY(m_errors.errors.isEmpty());
}

QTEST_MAIN(TestTableHost)
#include "tst_tablehost.moc"
