#pragma once

#include "client/phrasebuttons.h"

#include <QColor>
#include <QObject>
#include <QUrl>

#include <functional>

class ChatEntry;
class ChatView;
class QColorDialog;
class SmiliesButton;
class TableState;
class QWidget;
struct Settings;

// The chat corner of the table: the view, the entry line, the phrase buttons with their
// gate, and the smilies. It is told which lines to show and asks for what to send.
class ChatPanel : public QObject {
    Q_OBJECT
public:
    // Builds its controls on parent, the table panel.
    ChatPanel(const TableState& state, QWidget* parent);

    // Appends a chat line: code 0 is a system line, 1 to 9 the seat whose words it carries.
    void addlinetochat(int code, const QString& body, const QColor& colour);
    // With scrolling off the view stays where it was put.
    void setScrollOff(bool off) { m_scrollOff = off; }

    // The user's chat colour, named in every chat, action and phrase message.
    QColor chatColour() const { return m_chatColour; }
    void setChatColour(const QColor& colour);
    // How web links from the chat are opened (the desktop's handler by default).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    PhraseGate& phraseGate() { return m_phraseGate; }

    // The text size, chat colour and phrases of the settings file.
    void storeIn(Settings& s) const;
    void loadFrom(const Settings& s);

    ChatView* view() const { return mainchat; }
    ChatEntry* entry() const { return mychat; }
    PhraseButtons* phraseButtons() const { return m_phrases; }

    // The entry line's Enter, a phrase button, a chatter sound, a smiley, a link, and
    // "Clear Main Chat".
    void sendit();
    void b_phrase1Click(int index);
    void wave4Click(int tag);
    void N271Click(int code);
    void mainchatJump(int slot);
    void ClearMainChat1Click();
    // Options "Text Color": the colour dialog, without blocking.
    void TextColor1Click();

signals:
    void sendRequested(const QByteArray& wire);
    // A chat link could not be opened.
    void linkFailed();
    void colourChosen();

private:
    const TableState& m_state;
    ChatView* mainchat = nullptr;
    ChatEntry* mychat = nullptr;
    PhraseButtons* m_phrases = nullptr;
    SmiliesButton* button_smilies = nullptr;
    QColorDialog* ColorDialog = nullptr;
    PhraseGate m_phraseGate;
    QColor m_chatColour{0, 0, 0};
    bool m_scrollOff = false;
    std::function<bool(const QUrl&)> m_openUrl;
};
