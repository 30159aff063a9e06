#include "support/copies.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"
#include "windows/spylistform.h"

#include <QAction>
#include <QListView>
#include <QMouseEvent>
#include <QStringListModel>
#include <QTcpServer>
#include <QTest>

#include <memory>
#include <vector>

namespace {
// The pointer moves over the list's viewport at pos.
void moveOver(Tspylist& list, const QPoint& pos)
{
    QWidget* viewport = list.list()->viewport();
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), viewport->mapToGlobal(QPointF(pos)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
}

QPoint itemCentre(Tspylist& list, int row)
{
    return list.list()->visualRect(list.list()->model()->index(row, 0)).center();
}

} // namespace

class TestSpylist : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void pointerOverNoItemRemovesNobody();
    void spiesAtARealHost();

private:
    QTcpServer m_lobby;
    RecordingReporter m_errors;
    std::unique_ptr<Copy> m_ann;
    std::unique_ptr<Copy> m_bob;
    std::vector<std::unique_ptr<RawClient>> m_raw;
};

void TestSpylist::initTestCase()
{
    QVERIFY(m_lobby.listen(QHostAddress::LocalHost, 0));
}

void TestSpylist::cleanup()
{
    m_raw.clear();
    m_bob.reset();
    m_ann.reset();
}

void TestSpylist::pointerOverNoItemRemovesNobody()
{
    QStringListModel items({"8: Sam", "9: Sue", "x: Odd"});
    Tspylist list;
    QCOMPARE(list.windowTitle(), QStringLiteral("Quorvel - Spys"));
    QVERIFY(list.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!list.kickItem()->isEnabled());
    QCOMPARE(list.kickItem()->text(), QStringLiteral("Remove From Game"));
    list.setItems(&items);
    list.setKickEnabled(true);
    QList<int> kicked;
    list.setKickFunction([&kicked](int seat) { kicked.append(seat); });
    list.show();

    moveOver(list, itemCentre(list, 1));
    QCOMPARE(list.hoveredIndex(), 1);
    list.kickItem()->trigger();
    QCOMPARE(kicked, QList<int>{9});

    // Below the last item there is none.
    moveOver(list, QPoint(10, list.list()->viewport()->height() - 2));
    QCOMPARE(list.hoveredIndex(), -1);
    list.kickItem()->trigger();
    // An item that does not start with a seat number.
    moveOver(list, itemCentre(list, 2));
    QCOMPARE(list.hoveredIndex(), 2);
    list.kickItem()->trigger();
    QCOMPARE(kicked, QList<int>{9});
}

void TestSpylist::spiesAtARealHost()
{
    m_ann = startCopy({"Ann", "127.0.0.1", "true"}, 0, m_lobby.serverPort(), &m_errors);
    QTRY_VERIFY_WITH_TIMEOUT(m_ann->chat().state().loggedIn(), 10000);
    const quint16 port = m_ann->program->server().serverPort();
    m_bob = startCopy({"Bob", "127.0.0.1", "join"}, port, m_lobby.serverPort(), &m_errors);
    QTRY_VERIFY_WITH_TIMEOUT(m_bob->chat().state().loggedIn(), 10000);
    QCOMPARE(m_bob->chat().state().ownSeat(), 2);
    // Seats 3 to 7 are taken; seats 8 and 9 are spies.
    for (int seat = 3; seat <= 9; ++seat) {
        auto raw = std::make_unique<RawClient>();
        raw->setAutoLogin(seat >= 8 ? QStringLiteral("Spy%1").arg(seat)
                                    : QStringLiteral("P%1").arg(seat));
        QVERIFY(raw->connectTo(port));
        QTRY_COMPARE_WITH_TIMEOUT(raw->seat(), seat, 10000);
        m_raw.push_back(std::move(raw));
    }
    const QStringList spies{"8: Spy8", "9: Spy9"};
    for (Copy* c : {m_ann.get(), m_bob.get()})
        QTRY_COMPARE_WITH_TIMEOUT(c->chat().spylistItems()->stringList(), spies, 10000);

    // Only the hosting copy may remove anyone.
    QVERIFY(m_ann->program->spylist().kickItem()->isEnabled());
    QVERIFY(!m_bob->program->spylist().kickItem()->isEnabled());

    Tspylist& list = m_ann->program->spylist();
    m_ann->chat().findChild<QAction*>("SpyList1")->trigger();
    QTRY_VERIFY(list.isVisible());
    QCOMPARE(list.list()->model()->rowCount(), 2);

    // The second item is seat 9's spy: the host closes that connection and every list drops
    // it, the open one too.
    moveOver(list, itemCentre(list, 1));
    list.kickItem()->trigger();
    QVERIFY(m_raw.back()->waitForClose(10000));
    for (Copy* c : {m_ann.get(), m_bob.get()})
        QTRY_COMPARE_WITH_TIMEOUT(c->chat().spylistItems()->stringList(), QStringList{"8: Spy8"},
                                  10000);
    QCOMPARE(list.list()->model()->rowCount(), 1);
    QVERIFY(m_raw[5]->socket.state() == QAbstractSocket::ConnectedState);

    // A joined copy's removal sends nothing even if the item were enabled.
    Tspylist& bobs = m_bob->program->spylist();
    bobs.show();
    moveOver(bobs, itemCentre(bobs, 0));
    bobs.kickItem()->trigger();
    QCOMPARE(m_bob->chat().clientSocket().bytesToWrite(), 0);
}

QTEST_MAIN(TestSpylist)
#include "tst_spylist.moc"
