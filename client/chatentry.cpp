#include "client/chatentry.h"

#include "client/pictures.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

const QString ChatEntry::placeholder = QStringLiteral("<Enter Chat Here>");

ChatEntry::ChatEntry(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("mychat"));
    setFont(pictures::tableFont(13, false));
    setText(placeholder);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_mychat"));
    QAction* paste = m_popup->addAction(QStringLiteral("Paste"));
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence::Paste);
    connect(paste, &QAction::triggered, this, &ChatEntry::pasteAtEnd);
}

void ChatEntry::appendText(const QString& more)
{
    setText(text() + more);
    deselect();
    end(false);
}

void ChatEntry::pasteAtEnd()
{
    QString pasted = QGuiApplication::clipboard()->text();
    // One line: breaks become blanks rather than vanish.
    pasted.replace(QLatin1String("\r\n"), QLatin1String(" "));
    pasted.replace(QLatin1Char('\n'), QLatin1Char(' '));
    pasted.replace(QLatin1Char('\r'), QLatin1Char(' '));
    appendText(pasted);
}

void ChatEntry::setTextColour(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, colour);
    setPalette(palette);
}

void ChatEntry::keyPressEvent(QKeyEvent* event)
{
    if (showsPlaceholder())
        clear();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        pasteAtEnd();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ChatEntry::contextMenuEvent(QContextMenuEvent* event)
{
    m_popup->popup(event->globalPos());
}
