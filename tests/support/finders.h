#pragma once

#include "client/chatform.h"
#include "client/chatpanel.h"
#include "client/chatview.h"
#include "client/playingsurface.h"
#include "client/seatrows.h"
#include "net/framereader.h"
#include "support/widgets.h"

#include <QAction>
#include <QLabel>

// The main window's parts as the window tests look them up: menu items by object name,
// labels, and what a seat's row shows.
inline QAction* action(Tchat& chat, const char* name)
{
    return child<QAction>(chat, QLatin1String(name));
}

inline QLabel* label(Tchat& chat, const QString& name)
{
    return child<QLabel>(chat, name);
}

inline QString rowName(Tchat& chat, int seat)
{
    return chat.surface().seatRows()->name(seat);
}

// The chat view's lines as plain text, each without the blanks around its words.
inline QStringList chatLines(Tchat& chat)
{
    QStringList lines = chat.chatPanel().view()->toPlainText().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.simplified();
    if (lines.size() == 1 && lines.first().isEmpty())
        lines.clear();
    return lines;
}

// Whether a seat's row shows the just-watching eyes.
inline bool eyesShown(Tchat& chat, int seat)
{
    return !child<QWidget>(chat, QStringLiteral("image_eyes%1").arg(seat))->isHidden();
}

// The host's messages handed to the window at once, as its connection would hand them on.
inline void feed(Tchat& chat, const QByteArray& wire)
{
    FrameReader reader;
    for (const QByteArray& text : reader.feed(wire))
        chat.receive(text);
}
