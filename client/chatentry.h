#pragma once

#include <QLineEdit>

class QMenu;

// The chat's entry line. It starts with a placeholder text that any key clears first;
// Enter asks for the line to be sent and types nothing. Paste always appends.
class ChatEntry : public QLineEdit {
    Q_OBJECT
public:
    static const QString placeholder;

    explicit ChatEntry(QWidget* parent = nullptr);

    bool showsPlaceholder() const { return text() == placeholder; }
    // Appends text at the end and leaves the caret there with nothing selected.
    void appendText(const QString& more);
    // Appends the clipboard's text, if any.
    void pasteAtEnd();
    void setTextColour(const QColor& colour);
    QMenu* popupMenu() const { return m_popup; }

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QMenu* m_popup = nullptr;
};
