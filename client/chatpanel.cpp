#include "client/chatpanel.h"

#include "client/chatentry.h"
#include "client/chatview.h"
#include "client/colournames.h"
#include "client/settings.h"
#include "client/smiliesbutton.h"
#include "client/tablelayout.h"
#include "client/tablestate.h"
#include "net/messages.h"
#include "platform/logging.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFrame>

ChatPanel::ChatPanel(const TableState& state, QWidget* parent)
    : QObject(parent), m_state(state),
      m_openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("panel_chat"));
    frame->setGeometry(layout::chatFrame);
    frame->setStyleSheet(QStringLiteral("#panel_chat { border: 1px solid rgb(64, 0, 64); }"));
    mainchat = new ChatView(frame);
    mainchat->setFrameShape(QFrame::NoFrame);
    mainchat->setGeometry(layout::chatView);
    connect(mainchat, &ChatView::linkActivated, this, &ChatPanel::mainchatJump);

    mychat = new ChatEntry(parent);
    mychat->setGeometry(layout::chatEntry);
    connect(mychat, &ChatEntry::enterPressed, this, &ChatPanel::sendit);

    button_smilies = new SmiliesButton(parent);
    button_smilies->move(layout::smilies);
    connect(button_smilies, &SmiliesButton::smileyChosen, this, &ChatPanel::N271Click);

    m_phrases = new PhraseButtons(parent);
    m_phrases->move(layout::phraseButtons);
    connect(m_phrases, &PhraseButtons::phraseClicked, this, &ChatPanel::b_phrase1Click);
    connect(m_phrases, &PhraseButtons::chatterSoundChosen, this, &ChatPanel::wave4Click);
}

void ChatPanel::TextColor1Click()
{
    // Made when first opened.
    if (!ColorDialog) {
        ColorDialog = new QColorDialog(mychat->window());
        ColorDialog->setObjectName(QStringLiteral("ColorDialog"));
        // The same dialog everywhere, and one that can be opened without blocking.
        ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
        connect(ColorDialog, &QColorDialog::colorSelected, this, [this](const QColor& colour) {
            setChatColour(colour);
            emit colourChosen();
        });
    }
    ColorDialog->setCurrentColor(m_chatColour);
    ColorDialog->open();
}

void ChatPanel::addlinetochat(int code, const QString& body, const QColor& colour)
{
    if (code < 0 || code > table::maxSeats) {
        qCDebug(lcClient) << "chat line with code" << code << "is no seat's; not shown";
        return;
    }
    mainchat->addLine(code, body, colour);
    if (!m_scrollOff)
        mainchat->scrollToEnd();
}

void ChatPanel::setChatColour(const QColor& colour)
{
    m_chatColour = colour;
    mychat->setTextColour(colour);
}

void ChatPanel::storeIn(Settings& s) const
{
    s.textSize = mainchat->textSize();
    s.textColour = m_chatColour;
    for (int i = 0; i < Settings::phraseCount; ++i)
        s.phrases[std::size_t(i)] = m_phrases->phrase(i + 1);
}

void ChatPanel::loadFrom(const Settings& s)
{
    mainchat->setTextSize(s.textSize);
    setChatColour(s.textColour);
    for (int i = 0; i < Settings::phraseCount; ++i)
        m_phrases->setPhrase(i + 1, s.phrases[std::size_t(i)]);
}

void ChatPanel::sendit()
{
    if (!m_state.loggedIn())
        return;
    const QString line = mychat->text();
    const QString colour = colourName(m_chatColour);
    if (!line.isEmpty() && !line.startsWith(QLatin1Char('/')))
        emit sendRequested(msg::chat(m_state.ownSeat(), line, colour));
    else if (line.startsWith(QLatin1String("/me")))
        emit sendRequested(msg::action(m_state.ownSeat(), line.mid(4), colour));
    mychat->clear();
}

void ChatPanel::b_phrase1Click(int index)
{
    if (!m_phraseGate.isOpen())
        return;
    const QString phrase = m_phrases->phrase(index);
    const QString text = phrase.startsWith(QLatin1String("/me "))
                             ? phrase.mid(4)
                             : QStringLiteral("says: ") + phrase;
    emit sendRequested(msg::action(m_state.ownSeat(), text, colourName(m_chatColour)));
    m_phraseGate.close();
}

void ChatPanel::wave4Click(int tag)
{
    if (tag != 0 && m_state.loggedIn())
        emit sendRequested(msg::playasound(m_state.ownSeat(), tag));
}

void ChatPanel::N271Click(int code)
{
    if (mychat->showsPlaceholder())
        mychat->clear();
    mychat->appendText(QStringLiteral(":)#%1").arg(code));
}

void ChatPanel::mainchatJump(int slot)
{
    const QUrl url = ChatView::webAddress(mainchat->linkSlot(slot));
    if (!url.isValid() || !m_openUrl || !m_openUrl(url))
        emit linkFailed();
}

void ChatPanel::ClearMainChat1Click()
{
    mainchat->clearChat();
    mychat->setFocus();
}
