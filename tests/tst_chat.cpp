#include "client/chatentry.h"
#include "client/chatpanel.h"
#include "client/chatview.h"
#include "client/phrasebuttons.h"
#include "net/messages.h"
#include "support/clienttable.h"
#include "support/finders.h"
#include "support/recordingreporter.h"
#include "support/settingsfolder.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QToolButton>

namespace {
const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);
const QColor green(0, 128, 0);

// One piece of the chat view: text or a smiley picture, with its style and look.
struct Piece {
    QString text;
    int style = -1;
    QColor colour;
    bool bold = false;
    QString image;
    QString href;
};

QList<Piece> pieces(const QTextBlock& block)
{
    QList<Piece> result;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QTextCharFormat format = f.charFormat();
        Piece piece;
        piece.style = ChatView::styleOf(format);
        if (format.isImageFormat()) {
            piece.image = format.toImageFormat().name();
        } else {
            piece.text = f.text();
            piece.colour = format.foreground().color();
            piece.bold = format.fontWeight() == QFont::Bold;
            piece.href = format.anchorHref();
        }
        result.append(piece);
    }
    return result;
}

// A line as it shows: a smiley as [its picture], a link as <its text>.
QString shown(const QTextBlock& block)
{
    QString text;
    for (const Piece& p : pieces(block))
        text += !p.image.isEmpty() ? '[' + p.image + ']'
                : p.href.isEmpty() ? p.text
                                   : '<' + p.text + '>';
    return text;
}

QList<Piece> lastLine(Tchat& chat)
{
    return pieces(chat.chatPanel().view()->document()->lastBlock());
}

struct OpenedUrls {
    QList<QUrl> urls;
    bool answer = true;
};
} // namespace

class TestChat : public QObject {
    Q_OBJECT
private slots:
    void lineStylesHeadsAndRecolouring();
    void shownLines_data();
    void shownLines();
    void linkWordsAndSlots();
    void followingLinks();
    void receivedChatColours();
    void typedChat();
    void phraseButtonsAndTheirGate();
    void chatterSounds();
    void smiliesMenu();
    void entryLineCommands();
    void viewCommands();
    void textColour();
};

// Each seat's lines share a style: the newest line's colour recolours the older ones.
void TestChat::lineStylesHeadsAndRecolouring()
{
    Tchat chat(isolatedOptions(), nullptr);
    chat.addlinetochat(0, "Welcome", blue);
    chat.addlinetochat(3, "Cid chats: hello there", green);
    chat.addlinetochat(1, "Ann chats: hi", QColor(128, 0, 128));
    QList<Piece> line = lastLine(chat);
    QVERIFY(line.first().text.startsWith(QStringLiteral("Ann chats: ")));
    QCOMPARE(line.first().style, 6);

    QTextBlock cid = chat.chatPanel().view()->document()->begin().next();
    QList<Piece> cidLine = pieces(cid);
    QVERIFY(cidLine.first().text.startsWith(QStringLiteral("Cid chats: ")));
    QCOMPARE(cid.text(), QStringLiteral("Cid chats:  hello there "));
    for (const Piece& p : cidLine) {
        QCOMPARE(p.style, 8);
        QCOMPARE(p.colour, green);
        QVERIFY(p.bold);
    }
    chat.addlinetochat(3, "Cid chats: later", QColor(0, 0, 128));
    for (const Piece& p : pieces(cid))
        QCOMPARE(p.colour, QColor(0, 0, 128));
    // Other styles keep their colour.
    QCOMPARE(pieces(chat.chatPanel().view()->document()->begin()).first().colour, blue);
    QCOMPARE(pieces(chat.chatPanel().view()->document()->begin()).first().style, 0);
    // A code that is no seat is no line.
    const int blocks = chat.chatPanel().view()->document()->blockCount();
    chat.addlinetochat(10, "x", blue);
    chat.addlinetochat(-1, "x", blue);
    QCOMPARE(chat.chatPanel().view()->document()->blockCount(), blocks);
}

void TestChat::shownLines_data()
{
    QTest::addColumn<int>("seat");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("links");
    const auto row = [](const char* tag, int seat, const QString& text, const QString& shown,
                        int links = 0) { QTest::newRow(tag) << seat << text << shown << links; };
    row("no head", 0, "Welcome", " Welcome ");
    row("smiley between words", 3, "Cid chats: hello :)#12 world",
        "Cid chats:  hello  [smiley:2] world ");
    // Codes that are not 10 to 27 show the first smiley; the five characters never show.
    row("smiley codes", 3, "Cid chats: a:)#99b:)#abc:)#27:)#1",
        "Cid chats:  a [smiley:0]b [smiley:0]c [smiley:17] [smiley:0]");
    row("links", 2, "Bob chats: see WWW.Example.com and https://quorvel.test/x now",
        "Bob chats:  see <WWW.Example.com> and <https://quorvel.test/x> now ", 2);
    // Words that would open a file or run a program are no links.
    row("no links", 2,
        "Bob chats: file:///etc/www.passwd /usr/bin/www.run C:\\www.x javascript:www.x http:// "
        "xhttp://a.b",
        "Bob chats:  file:///etc/www.passwd /usr/bin/www.run C:\\www.x javascript:www.x http:// "
        "xhttp://a.b ");
    // The head ends inside an address written with "http://"; the rest is no link.
    row("head in an address", 2, "Bob http://quorvel.test", "Bob http: //quorvel.test ");
}

void TestChat::shownLines()
{
    QFETCH(int, seat);
    QFETCH(QString, text);
    QFETCH(int, links);
    Tchat chat(isolatedOptions(), nullptr);
    chat.addlinetochat(seat, text, Qt::black);
    const QTextBlock line = chat.chatPanel().view()->document()->lastBlock();
    QTEST(shown(line), "shown");
    QCOMPARE(chat.chatPanel().view()->linkCounter(), links - 1);
    // Each smiley's picture is in the document; the words keep the seat's style.
    for (const Piece& p : pieces(line)) {
        if (!p.image.isEmpty())
            QVERIFY(!line.document()->resource(QTextDocument::ImageResource, p.image).isNull());
        else
            QCOMPARE(p.style,
                     p.href.isEmpty() ? ChatView::styleForCode(seat) : ChatView::linkStyle);
    }
}

void TestChat::linkWordsAndSlots()
{
    Tchat chat(isolatedOptions(), nullptr);
    ChatView* view = chat.chatPanel().view();
    QCOMPARE(view->linkCounter(), -1);
    chat.addlinetochat(2, "Bob chats: see WWW.Example.com and https://quorvel.test/x now",
                       Qt::black);
    QList<Piece> links;
    for (const Piece& p : lastLine(chat))
        if (!p.href.isEmpty())
            links.append(p);
    QCOMPARE(links.size(), 2);
    QCOMPARE(links.at(0).colour, green);
    QCOMPARE(links.at(0).href, QStringLiteral("0"));
    QCOMPARE(links.at(1).href, QStringLiteral("1"));
    QCOMPARE(view->linkSlot(0), QStringLiteral("WWW.Example.com "));

    // 101 slots; after slot 100 the counter wraps to 1, not 0.
    for (int i = 2; i <= 100; ++i)
        chat.addlinetochat(2, QStringLiteral("Bob chats: www.site%1.test").arg(i), Qt::black);
    QCOMPARE(view->linkCounter(), 100);
    QCOMPARE(view->linkSlot(100), QStringLiteral("www.site100.test "));
    chat.addlinetochat(2, "Bob chats: www.newer.test", Qt::black);
    QCOMPARE(view->linkCounter(), 1);
    QCOMPARE(view->linkSlot(1), QStringLiteral("www.newer.test "));
    QCOMPARE(view->linkSlot(0), QStringLiteral("WWW.Example.com "));

    // The earlier link that held slot 1 now opens the newer address.
    OpenedUrls opened;
    chat.chatPanel().setUrlOpener([&](const QUrl& url) {
        opened.urls.append(url);
        return true;
    });
    emit view->linkActivated(1);
    QCOMPARE(opened.urls, QList<QUrl>({QUrl("http://www.newer.test")}));
}

void TestChat::followingLinks()
{
    Tchat chat(isolatedOptions(), nullptr);
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    OpenedUrls opened;
    chat.chatPanel().setUrlOpener([&](const QUrl& url) {
        opened.urls.append(url);
        return opened.answer;
    });
    ChatView* view = chat.chatPanel().view();
    chat.addlinetochat(2, "Bob chats: go to www.example.com now", Qt::black);

    // A single click on the link opens it.
    QTextCursor cursor = view->document()->find("example");
    QVERIFY(!cursor.isNull());
    const QRect at = view->cursorRect(cursor);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center() - QPoint(4, 0));
    QTRY_COMPARE(opened.urls, QList<QUrl>({QUrl("http://www.example.com")}));

    // An address the desktop cannot open, and an empty slot, say so.
    opened.answer = false;
    emit view->linkActivated(0);
    QTRY_VERIFY(chat.findChild<QMessageBox*>("messagebox"));
    auto* box = chat.findChild<QMessageBox*>("messagebox");
    QCOMPARE(box->text(), QStringLiteral("Cannot open Webpage"));
    QVERIFY(!box->isModal());
    box->close();
    QTRY_VERIFY(!chat.findChild<QMessageBox*>("messagebox"));
    opened.answer = true;
    emit view->linkActivated(50);
    QTRY_VERIFY(chat.findChild<QMessageBox*>("messagebox"));
    QCOMPARE(opened.urls.size(), 2);
}

void TestChat::receivedChatColours()
{
    RecordingReporter errors;
    Tchat chat(isolatedOptions(), &errors);
    // A text with "|" is cut there and shown red: the rest is no colour.
    feed(chat, msg::chatRelay(2, "Bob", "a|b|clBlue"));
    QCOMPARE(chatLines(chat).last(), QStringLiteral("Bob chats: a"));
    QCOMPARE(lastLine(chat).last().colour, red);
    feed(chat, msg::frame("CMD_chat+2+Bob chats: no colour at all"));
    QCOMPARE(chatLines(chat).last(), QStringLiteral("Bob chats: no colour at all"));
    QCOMPARE(lastLine(chat).last().colour, red);
    feed(chat, msg::actionRelay(3, "Cid", "waves|clnavy"));
    QCOMPARE(chatLines(chat).last(), QStringLiteral("Cid waves"));
    QCOMPARE(lastLine(chat).last().colour, QColor(0, 0, 128));
    QCOMPARE(lastLine(chat).last().style, 8);
    // An action has no head: its line starts with the blank after the empty head.
    QCOMPARE(lastLine(chat).first().text, QStringLiteral(" Cid waves "));
    // A chat text with "+" is shown whole.
    feed(chat, msg::chatRelay(2, "Bob", "1+1=2|clBlack"));
    QCOMPARE(chatLines(chat).last(), QStringLiteral("Bob chats: 1+1=2"));
    QVERIFY(errors.errors.isEmpty());
}

void TestChat::typedChat()
{
    // Before the login nothing is sent and the text stays.
    RecordingReporter errors;
    Tchat waiting(isolatedOptions(), &errors);
    ChatEntry* entry = waiting.chatPanel().entry();
    QCOMPARE(entry->text(), ChatEntry::placeholder);
    QTest::keyClicks(entry, "hi");
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->text(), QStringLiteral("hi"));
    QVERIFY(errors.errors.isEmpty());

    ClientTable table;
    auto* bob = table.join("Bob", 2);
    QVERIFY(bob);
    entry = bob->chat().chatPanel().entry();
    bob->chat().chatPanel().setChatColour(QColor(0x20, 0x40, 0x80));
    QCOMPARE(entry->palette().color(QPalette::Text), QColor(0x20, 0x40, 0x80));
    QTest::keyClick(entry, Qt::Key_Return); // clears the placeholder, sends nothing
    QCOMPARE(entry->text(), QString());
    QTest::keyClicks(entry, "Hello + bye|x");
    QTest::keyClick(entry, Qt::Key_Enter);
    QCOMPARE(entry->text(), QString());
    QTest::keyClicks(entry, "/me waves");
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClicks(entry, "/meow");
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClicks(entry, "/who");
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->text(), QString());
    bob->chat().chatPanel().setChatColour(Qt::black);
    QTest::keyClicks(entry, "last");
    QTest::keyClick(entry, Qt::Key_Return);
    QVERIFY(table.host.waitFor(bob->client, "CMD_chat+2+last") >= 0);
    QByteArrayList sent;
    for (const QByteArray& m : table.host.received(bob->client))
        if (m.startsWith("CMD_chat") || m.startsWith("CMD_action"))
            sent.append(m);
    QCOMPARE(sent,
             QByteArrayList({"CMD_chat+2+Hello + bye|x|$00804020", "CMD_action+2+waves|$00804020",
                             "CMD_action+2+w|$00804020", "CMD_chat+2+last|clBlack"}));
}

void TestChat::phraseButtonsAndTheirGate()
{
    ClientTable table;
    auto* bob = table.join("Bob", 2);
    QVERIFY(bob);
    Tchat& chat = bob->chat();
    auto* first = chat.findChild<QToolButton*>("b_phrase1");
    QCOMPARE(first->toolTip(), QStringLiteral("Way To Go!"));
    QCOMPARE(chat.findChild<QToolButton*>("b_phrase9")->toolTip(),
             QStringLiteral("Good Game Everyone!"));
    QCOMPARE(chat.findChild<QToolButton*>("b_phrase10")->toolTip(),
             QStringLiteral("Chatter Sounds"));

    // After a phrase the buttons rest for two seconds, on the gate's own clock.
    qint64 now = 0;
    chat.chatPanel().phraseGate().setClock([&now] { return now; });
    QTest::mouseClick(first, Qt::LeftButton);
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase2"), Qt::LeftButton);
    now += PhraseGate::restMs - 1;
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase2"), Qt::LeftButton);
    now += 1;
    chat.chatPanel().phraseButtons()->setPhrase(3, "/me dances");
    QTest::mouseClick(chat.findChild<QToolButton*>("b_phrase3"), Qt::LeftButton);
    QVERIFY(table.host.waitFor(bob->client, "CMD_action+2+dances") >= 0);
    QCOMPARE(
        table.host.withPrefix(bob->client, "CMD_action"),
        QByteArrayList({"CMD_action+2+says: Way To Go!|clBlack", "CMD_action+2+dances|clBlack"}));
}

void TestChat::chatterSounds()
{
    ClientTable table;
    auto* bob = table.join("Bob", 2);
    auto* sam = table.join("Sam", 8);
    QVERIFY(bob && sam);
    Tchat& chat = bob->chat();

    // Any mouse button opens the menu at the button's bottom-right corner.
    auto* button = chat.findChild<QToolButton*>("b_phrase10");
    auto* menu = chat.findChild<QMenu*>("popup_sounds");
    QCOMPARE(menu->actions().size(), 21);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("<Cancel>"));
    QCOMPARE(chat.findChild<QAction*>("wave5")->text(), QStringLiteral("Where have you been?"));
    QCOMPARE(chat.findChild<QAction*>("wave20")->toolTip(), QStringLiteral("Crying"));
    QTest::mouseClick(button, Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    // Below and right of the button; the screen's edge may push it up.
    QCOMPARE(menu->x(), button->mapToGlobal(QPoint(button->width(), 0)).x());
    menu->actions().first()->trigger();
    menu->hide();
    chat.findChild<QAction*>("wave4")->trigger();
    QVERIFY(table.host.waitFor(bob->client, "CMD_playasound") >= 0);
    QCOMPARE(table.host.withPrefix(bob->client, "CMD_playasound"),
             QByteArrayList({"CMD_playasound+2+wave4+"}));

    // Player Phrase Sounds on: the sound plays, whatever "Play Sounds" says. Without an
    // audio device one line says so.
    bob->sounds.played.clear();
    bob->sounds.noDevice = true;
    action(chat, "PlaySounds1")->trigger();
    const int before = int(chatLines(chat).size());
    table.send(bob, msg::playasoundRelay(2, "wave2+"));
    table.send(bob, msg::playasoundRelay(2, "WAVE20+"));
    table.send(bob, msg::playasoundRelay(2, "winner+"));
    QCOMPARE(bob->sounds.played, QStringList({"wave2", "WAVE20"}));
    QCOMPARE(chatLines(chat).mid(before), QStringList{"No sound device: sounds are off."});

    // Off: a blue line instead, for a seat with a row only.
    const int lines = int(chatLines(chat).size());
    action(chat, "PlayerPhraseSounds1")->trigger();
    QVERIFY(!action(chat, "PlayerPhraseSounds1")->isChecked());
    table.send(bob, msg::playasoundRelay(2, "wave2+"));
    table.send(bob, msg::playasoundRelay(8, "wave3+"));
    table.send(bob, msg::playasoundRelay(2, "wave21+"));
    QCOMPARE(chatLines(chat).mid(lines), QStringList({"Bob: <Chatter Sound> Cough"}));
    QCOMPARE(lastLine(chat).first().colour, blue);
    QVERIFY(lastLine(chat).first().bold);
    QCOMPARE(bob->sounds.played.size(), 2);
}

void TestChat::smiliesMenu()
{
    Tchat chat(isolatedOptions(), nullptr);
    chat.show();
    auto* button = chat.findChild<QToolButton*>("button_smilies");
    // Made when first opened.
    QVERIFY(!chat.findChild<QMenu*>("popup_smilies"));
    QTest::mouseClick(button, Qt::LeftButton);
    auto* menu = chat.findChild<QMenu*>("popup_smilies");
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->actions().size(), 18);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral(":)#10"));
    QVERIFY(!menu->actions().last()->icon().isNull());
    // The eighteen smilies side by side, enlarged, for a look: smilies.png in the build folder.
    QImage sheet(18 * 68, 64, QImage::Format_ARGB32);
    sheet.fill(QColor(247, 242, 223));
    QPainter painter(&sheet);
    for (int i = 0; i < 18; ++i)
        painter.drawPixmap(QRect(i * 68, 0, 64, 64),
                           menu->actions().at(i)->icon().pixmap(QSize(17, 16), 4.0));
    painter.end();
    QVERIFY(sheet.save(QStringLiteral(QUORVEL_BINARY_DIR "/smilies.png")));
    menu->hide();
    ChatEntry* entry = chat.chatPanel().entry();
    chat.findChild<QAction*>("smiley12")->trigger();
    QCOMPARE(entry->text(), QStringLiteral(":)#12"));
    entry->setCursorPosition(0);
    chat.findChild<QAction*>("smiley27")->trigger();
    QCOMPARE(entry->text(), QStringLiteral(":)#12:)#27"));
    QCOMPARE(entry->cursorPosition(), entry->text().size());
    QVERIFY(!entry->hasSelectedText());
}

void TestChat::entryLineCommands()
{
    Tchat chat(isolatedOptions(), nullptr);
    chat.show();
    ChatEntry* entry = chat.chatPanel().entry();
    QGuiApplication::clipboard()->setText("world");
    // Paste appends at the end, not at the caret, and leaves nothing selected.
    entry->setText("hello");
    entry->setSelection(0, 2);
    QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(entry->text(), QStringLiteral("helloworld"));
    QCOMPARE(entry->cursorPosition(), 10);
    QVERIFY(!entry->hasSelectedText());
    entry->setCursorPosition(0);
    entry->findChild<QAction*>("Paste1")->trigger();
    QCOMPARE(entry->text(), QStringLiteral("helloworldworld"));
    QCOMPARE(entry->cursorPosition(), entry->text().size());
    // Any key clears the placeholder first.
    entry->setText(ChatEntry::placeholder);
    QTest::keyClick(entry, Qt::Key_A);
    QCOMPARE(entry->text(), QStringLiteral("a"));
}

void TestChat::viewCommands()
{
    Tchat chat(isolatedOptions(), nullptr);
    chat.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chat));
    ChatView* view = chat.chatPanel().view();
    for (int i = 0; i < 40; ++i)
        chat.addlinetochat(2, QStringLiteral("Bob chats: line %1 www.a%1.test").arg(i), Qt::black);
    QScrollBar* bar = view->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    // Scroll Chat Off: the view stays where it was put. One item in both menus.
    QAction* scrollOff = action(chat, "ScrollChatOff1");
    QVERIFY(view->popupMenu()->actions().contains(scrollOff));
    QVERIFY(chat.menus().optionsMenu()->actions().contains(scrollOff));
    QCOMPARE(scrollOff->shortcut(), QKeySequence("Ctrl+S"));
    scrollOff->trigger();
    bar->setValue(0);
    chat.addlinetochat(2, "Bob chats: more", Qt::black);
    QCOMPARE(bar->value(), 0);
    scrollOff->trigger();
    chat.addlinetochat(2, "Bob chats: more", Qt::black);
    QCOMPARE(bar->value(), bar->maximum());

    // Select All and Copy.
    view->findChild<QAction*>("SelectAll1")->trigger();
    QVERIFY(view->textCursor().hasSelection());
    view->findChild<QAction*>("Copy1")->trigger();
    QVERIFY(QGuiApplication::clipboard()->text().contains("line 39"));

    // Text Size: every style and the text already shown.
    action(chat, "TextSize12")->trigger();
    QVERIFY(action(chat, "TextSize12")->isChecked());
    QVERIFY(!action(chat, "TextSize8")->isChecked());
    for (int s = 0; s < ChatView::styleCount; ++s)
        QCOMPARE(view->style(s).size, 12);
    QCOMPARE(view->document()->begin().begin().fragment().charFormat().fontPointSize(), 12.0);

    // Clear Main Chat keeps the link slots and hands the keys to the entry line.
    const int counter = view->linkCounter();
    chat.activateWindow();
    action(chat, "ClearMainChat1")->trigger();
    QVERIFY(view->document()->isEmpty());
    QCOMPARE(view->linkCounter(), counter);
    QCOMPARE(view->linkSlot(counter), QStringLiteral("www.a39.test "));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(chat.chatPanel().entry()));
    chat.addlinetochat(0, "fresh", blue);
    QCOMPARE(chatLines(chat), QStringList({"fresh"}));

    // A double click selects a word between the chat's delimiters: a hyphen is no delimiter.
    chat.addlinetochat(2, "Bob chats: a well-known(word)", Qt::black);
    const QRect known = view->cursorRect(view->document()->find("known"));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, known.center() - QPoint(4, 0));
    QCOMPARE(view->textCursor().selectedText(), QStringLiteral("well-known"));
}

// The colour chosen in the dialog is used and saved; a cancelled dialog changes nothing.
void TestChat::textColour()
{
    Tchat chat(isolatedOptions(), nullptr);
    chat.show();
    QCOMPARE(chat.chatPanel().chatColour(), QColor(Qt::black));
    for (const bool accept : {true, false}) {
        action(chat, "TextColor1")->trigger();
        auto* dialog = chat.findChild<QColorDialog*>("ColorDialog");
        QTRY_VERIFY(dialog->isVisible());
        dialog->setCurrentColor(accept ? Qt::red : Qt::blue);
        accept ? dialog->accept() : dialog->reject();
        QCOMPARE(chat.chatPanel().chatColour(), QColor(Qt::red));
        QCOMPARE(chat.chatPanel().entry()->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(iniValue(chat.iniPath(), "Textcolor"), QStringLiteral("clRed"));
    }
}

QTEST_MAIN(TestChat)
#include "tst_chat.moc"
