// The game start dialog: its layout, the up-down steps and ends, the tick boxes, the
// start message and the save that follows it.
#include "client/gamestartform.h"
#include "client/settings.h"
#include "client/updown.h"
#include "net/messages.h"
#include "platform/inifile.h"
#include "support/files.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class TestGameStart : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout();
    void builtInValues();
    void steps_data();
    void steps();
    void editsOnlyChangeByTheArrows();
    void tickBoxes();
    void changebox_data();
    void changebox();
    void startSendsTheValuesShown();
    void startWithFileValuesThenSave();
    void closingSendsNothing();
    void picturesAtPixelRatio();

private:
    template <typename T> T* child(const char* name)
    {
        T* found = m_dialog->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* name) { QTest::mouseClick(child<QWidget>(name), Qt::LeftButton); }
    // Which of the three tick boxes show the ticked picture, as "100", "010" or "001".
    QString ticks();

    std::unique_ptr<Tgamestart> m_dialog;
    QList<QByteArray> m_sent;
};

void TestGameStart::init()
{
    m_sent.clear();
    m_dialog = std::make_unique<Tgamestart>();
    m_dialog->setSendFunction([this](const QByteArray& wire) { m_sent.append(wire); });
    m_dialog->setPlayerName(QStringLiteral("You"));
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void TestGameStart::cleanup()
{
    if (QTest::currentTestFailed() && m_dialog) {
        const QString picture = QStringLiteral(QUORVEL_BINARY_DIR "/tst_gamestart-%1.png")
                                    .arg(QString::fromLatin1(QTest::currentTestFunction()));
        m_dialog->grab().save(picture);
        qWarning("dialog saved as %s", qPrintable(picture));
    }
    m_dialog.reset();
}

QString TestGameStart::ticks()
{
    const QImage ticked = Tgamestart::boxPicture(1, m_dialog->devicePixelRatioF()).toImage();
    const QImage empty = Tgamestart::boxPicture(0, m_dialog->devicePixelRatioF()).toImage();
    QString result;
    for (const char* name : {"image_gt1", "image_gt2", "image_gt3"}) {
        const QImage shown = child<QLabel>(name)->pixmap().toImage();
        result += shown == ticked  ? QLatin1Char('1')
                  : shown == empty ? QLatin1Char('0')
                                   : QLatin1Char('?');
    }
    return result;
}

void TestGameStart::layout()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Quorvel - Game Start"));
    QCOMPARE(child<QLabel>("label_title")->text(), QStringLiteral("Game Options"));
    QCOMPARE(child<QLabel>("label_bots")->text(), QStringLiteral("BOTS PLAY FOR:"));
    QCOMPARE(child<QLabel>("label_gt3")->text(), QStringLiteral("Players 2,3,4,5,6 and 7"));

    // Every caption fits before the control beside it.
    for (const char* name : {"label_playtoscore", "label_bob", "label_bobcount"}) {
        auto* label = child<QLabel>(name);
        QVERIFY2(label->x() + label->fontMetrics().horizontalAdvance(label->text()) <= 160, name);
    }
}

void TestGameStart::builtInValues()
{
    QCOMPARE(child<QLineEdit>("edit_playtoscore")->text(), QStringLiteral("100"));
    QCOMPARE(child<QLineEdit>("edit_bob")->text(), QStringLiteral("10"));
    QCOMPARE(child<QLineEdit>("edit_bobcount")->text(), QStringLiteral("5"));
    QCOMPARE(m_dialog->gameType(), 1);
    QCOMPARE(child<QLabel>("label_bots")->property("tag").toInt(), 1);
    QCOMPARE(ticks(), QStringLiteral("100"));
}

void TestGameStart::steps_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("clicks"); // up when positive, down when negative
    QTest::addColumn<int>("expected");

    QTest::newRow("100 down") << "UpDown1" << 100 << -1 << 50;
    QTest::newRow("500 up stays") << "UpDown1" << 500 << 1 << 500;
    QTest::newRow("480 up stops at 500") << "UpDown1" << 480 << 1 << 500;
    QTest::newRow("30 down stops at 1") << "UpDown1" << 30 << -1 << 1;
    QTest::newRow("1 down stays") << "UpDown1" << 1 << -1 << 1;
    QTest::newRow("1 up") << "UpDown1" << 1 << 1 << 51;
    QTest::newRow("to the top and on") << "UpDown1" << 100 << 12 << 500;
    QTest::newRow("penalty up") << "UpDown2" << 10 << 1 << 15;
    QTest::newRow("penalty 20 up stays") << "UpDown2" << 20 << 1 << 20;
    QTest::newRow("penalty 3 down stops at 0") << "UpDown2" << 3 << -1 << 0;
    QTest::newRow("penalty 0 down stays") << "UpDown2" << 0 << -2 << 0;
    QTest::newRow("count 4 up") << "UpDown3" << 4 << 1 << 5;
    QTest::newRow("count 5 up stays") << "UpDown3" << 5 << 1 << 5;
    QTest::newRow("count 3 down stays") << "UpDown3" << 3 << -1 << 3;
}

void TestGameStart::steps()
{
    QFETCH(QString, control);
    QFETCH(int, start);
    QFETCH(int, clicks);
    QFETCH(int, expected);
    const QHash<QString, const char*> edits{
        {"UpDown1", "edit_playtoscore"}, {"UpDown2", "edit_bob"}, {"UpDown3", "edit_bobcount"}};
    auto* upDown = child<UpDown>(control.toLatin1().constData());
    auto* edit = child<QLineEdit>(edits.value(control));
    upDown->setPosition(start);
    QCOMPARE(edit->text(), QString::number(start));

    QToolButton* arrow = clicks > 0 ? upDown->upButton() : upDown->downButton();
    for (int i = 0; i < std::abs(clicks); ++i)
        QTest::mouseClick(arrow, Qt::LeftButton);
    QCOMPARE(upDown->position(), expected);
    QCOMPARE(edit->text(), QString::number(expected));
}

void TestGameStart::editsOnlyChangeByTheArrows()
{
    auto* edit = child<QLineEdit>("edit_playtoscore");
    QVERIFY(edit->isReadOnly());
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("9"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("100"));
    // The arrow keys in the edit step like the arrows beside it.
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(edit->text(), QStringLiteral("150"));
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(edit->text(), QStringLiteral("50"));
    QCOMPARE(m_dialog->playToScore(), 50);
}

void TestGameStart::tickBoxes()
{
    click("image_gt2");
    QCOMPARE(m_dialog->gameType(), 2);
    QCOMPARE(ticks(), QStringLiteral("010"));
    // Clicking the ticked box keeps it ticked: there is always one choice.
    click("image_gt2");
    QCOMPARE(m_dialog->gameType(), 2);
    QCOMPARE(ticks(), QStringLiteral("010"));
    click("image_gt3");
    QCOMPARE(m_dialog->gameType(), 3);
    QCOMPARE(ticks(), QStringLiteral("001"));
    // A press that ends on another box is no click.
    QTest::mousePress(child<QWidget>("image_gt1"), Qt::LeftButton);
    QTest::mouseRelease(child<QWidget>("image_gt2"), Qt::LeftButton);
    QCOMPARE(ticks(), QStringLiteral("001"));
    click("image_gt1");
    QCOMPARE(m_dialog->gameType(), 1);
    QCOMPARE(ticks(), QStringLiteral("100"));
    // The captions are not part of the boxes.
    click("label_gt3");
    QCOMPARE(m_dialog->gameType(), 1);
}

void TestGameStart::changebox_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("ticked");
    QTest::newRow("0") << 0 << 1 << "100";
    QTest::newRow("-3") << -3 << 1 << "100";
    QTest::newRow("1") << 1 << 1 << "100";
    QTest::newRow("2") << 2 << 2 << "010";
    QTest::newRow("3") << 3 << 3 << "001";
    QTest::newRow("7") << 7 << 3 << "001";
}

void TestGameStart::changebox()
{
    QFETCH(int, type);
    QFETCH(int, expected);
    QFETCH(QString, ticked);
    m_dialog->changebox(2);
    m_dialog->changebox(type);
    QCOMPARE(m_dialog->gameType(), expected);
    QCOMPARE(ticks(), ticked);
}

void TestGameStart::startSendsTheValuesShown()
{
    QSignalSpy saves(m_dialog.get(), &Tgamestart::saveRequested);
    click("button_start");
    QCOMPARE(m_sent,
             QList<QByteArray>{msg::startgame(QStringLiteral("You"), QStringLiteral("100"),
                                              QStringLiteral("10"), QStringLiteral("5"), 1)});
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(saves.size(), 1);

    // Hidden, not destroyed: the values are there for the next game.
    m_dialog->show();
    click("button_start");
    QCOMPARE(m_sent.size(), 2);
    QCOMPARE(m_sent[1], m_sent[0]);
}

void TestGameStart::startWithFileValuesThenSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("orsklobby.ini"));
    writeFile(path, "[Other]\nBotcount=2\n");
    // What the main window does: the dialog's values go through the file's rules and back.
    Settings settings;
    m_dialog->storeIn(settings);
    QVERIFY(loadSettingsFile(path, settings));
    m_dialog->loadFrom(settings);
    QCOMPARE(ticks(), QStringLiteral("001"));

    connect(m_dialog.get(), &Tgamestart::saveRequested, this, [&] {
        m_dialog->storeIn(settings);
        QVERIFY(saveSettingsFile(path, settings));
    });
    QTest::mouseClick(child<UpDown>("UpDown1")->upButton(), Qt::LeftButton);
    QTest::mouseClick(child<UpDown>("UpDown2")->downButton(), Qt::LeftButton);
    QTest::mouseClick(child<UpDown>("UpDown3")->downButton(), Qt::LeftButton);
    click("image_gt2");
    click("button_start");

    QCOMPARE(m_sent,
             QList<QByteArray>{msg::startgame(QStringLiteral("You"), QStringLiteral("80"),
                                              QStringLiteral("5"), QStringLiteral("4"), 2)});
    IniFile ini(path);
    QVERIFY(ini.load());
    QCOMPARE(ini.value(u"Quorvel", u"Playtoscore"), QStringLiteral("80"));
    QCOMPARE(ini.value(u"Quorvel", u"Bob"), QStringLiteral("5"));
    QCOMPARE(ini.value(u"Quorvel", u"Bobcount"), QStringLiteral("4"));
    QCOMPARE(ini.value(u"Quorvel", u"Botcount"), QStringLiteral("2"));
    QCOMPARE(ini.value(u"Other", u"Botcount"), QStringLiteral("2"));
}

void TestGameStart::closingSendsNothing()
{
    QSignalSpy saves(m_dialog.get(), &Tgamestart::saveRequested);
    QVERIFY(m_dialog->close());
    QVERIFY(!m_dialog->isVisible());
    m_dialog->show();
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    QTRY_VERIFY(!m_dialog->isVisible());
    QVERIFY(m_sent.isEmpty());
    QCOMPARE(saves.size(), 0);
}

void TestGameStart::picturesAtPixelRatio()
{
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap empty = Tgamestart::boxPicture(0, ratio);
        QCOMPARE(empty.size(), QSize(32, 19) * ratio);
        QCOMPARE(Tgamestart::startPicture(ratio).deviceIndependentSize(), QSizeF(126, 40));
        QVERIFY(empty.toImage() != Tgamestart::boxPicture(1, ratio).toImage());
    }
}

QTEST_MAIN(TestGameStart)
#include "tst_gamestart.moc"
