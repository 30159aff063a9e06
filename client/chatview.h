#pragma once

#include <QColor>
#include <QImage>
#include <QTextBrowser>
#include <QUrl>

#include <array>

class QMenu;
class QTextCursor;
class QTextCharFormat;

// The chat's read-only rich-text view. Text refers to one of fifteen numbered styles, so
// a later change of a style recolours every piece already shown in it. Web addresses are
// links that keep one of 101 slots; smiley codes show as inline pictures.
class ChatView : public QTextBrowser {
    Q_OBJECT
public:
    struct Style {
        QString family;
        int size = 8;
        QColor colour;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool operator==(const Style&) const = default;
    };

    static constexpr int styleCount = 15;
    static constexpr int systemStyle = 0;
    static constexpr int linkStyle = 4;
    static constexpr int linkSlotCount = 101;
    static constexpr int firstSmileyCode = 10;
    static constexpr int defaultTextSize = 8;

    explicit ChatView(QWidget* parent = nullptr);

    // A line of code 0 (system) or 1 to 9 (a seat) uses style 0 or code + 5.
    static int styleForCode(int code) { return code == 0 ? systemStyle : code + 5; }

    // Adds one paragraph: the body's head (up to its first ":") in the line's style, then
    // the rest word by word with links and smilies. The line's style takes its colour and
    // turns bold. Codes outside 0 to 9 are not lines.
    void addLine(int code, const QString& body, const QColor& colour);
    void scrollToEnd();
    void clearChat();

    Style style(int number) const { return m_styles.at(std::size_t(number)); }
    void setStyle(int number, const Style& style);
    void setTextSize(int size);
    int textSize() const { return m_styles[systemStyle].size; }

    int linkCounter() const { return m_linkCounter; }
    QString linkSlot(int slot) const;
    // The http or https address a chat word stands for, or an invalid URL: a "www." word
    // opens as http. Nothing else (files, programs, other schemes) is a link.
    static QUrl webAddress(const QString& word);

    QMenu* popupMenu() const { return m_popup; }
    // The style a piece of shown text refers to; -1 for pictures.
    static int styleOf(const QTextFormat& format);

signals:
    void linkActivated(int slot);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Selects the word under the pointer, words ending at the chat's own delimiters.
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTextCharFormat formatFor(int style) const;
    void addWords(QTextCursor& cursor, const QString& piece, int style);
    void addSmiley(QTextCursor& cursor, int index);
    int nextLinkSlot();
    // Re-applies the styles to the text already shown, for the styles in `which`.
    void restyle(const std::array<bool, styleCount>& which);

    std::array<Style, styleCount> m_styles{};
    std::array<QString, linkSlotCount> m_links{};
    int m_linkCounter = -1;
    QMenu* m_popup = nullptr;
};
