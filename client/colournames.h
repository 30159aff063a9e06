#pragma once

#include <QColor>
#include <QString>

#include <optional>

// Colour names as they travel in chat messages and sit in the settings file. A colour is
// also known as a number 0x00BBGGRR: red in the low byte, blue in the high one.

// "clBlack" … "clWhite" for the sixteen basic colours, else "$" and eight upper-case hex
// digits of 0x00BBGGRR. Transparency is dropped; an invalid colour gives "clBlack".
QString colourName(const QColor& colour);

// Reads any letter case of: a basic name ("clRed"), a system colour name ("clWindowText"),
// "$" or "0x" followed by up to eight hex digits, or a decimal number. Numbers 0x00BBGGRR
// are plain colours and 0x800000nn is system colour nn; nothing else is a colour.
//
// System colours are taken from the application's palette when it is asked, so they follow
// the desktop's theme: clWindow → Base, clWindowText → Text, clBtnFace → Button,
// clHighlight → Highlight, clInfoBk → ToolTipBase and so on (the table in the source).
// Without a GUI application they come from a default palette.
std::optional<QColor> colourFromName(QStringView name);

quint32 colourValue(const QColor& colour);
QColor colourFromValue(quint32 bgr);
