#pragma once

#include <QColor>
#include <QString>

#include <optional>

// Colours travel in chat messages and in the settings file as text: one of the sixteen
// basic names ("clBlack" …) when the colour is exactly that one, else "$" and eight
// hexadecimal digits of 0x00BBGGRR (blue in the high byte).
namespace colournames {

// The text form of a colour.
QString toName(const QColor& colour);

// Reads a colour's text form in any letter case; also the system colour names of the
// toolkit ("clWindowText" …, taken from the application palette) and plain numbers
// (decimal or "$" hexadecimal). Anything else is no colour.
std::optional<QColor> fromName(const QString& text);

// 0x00BBGGRR for an opaque colour.
quint32 toValue(const QColor& colour);
QColor fromValue(quint32 value);

} // namespace colournames
