#pragma once

// The bytes that give a message its shape. Texts travel as UTF-8, which never contains
// the terminator; a login name is cleared of all of them before it is passed on.
namespace msg {

inline constexpr char terminator = char(0xFF); // ends every message
inline constexpr char fieldSeparator = '+';
// Between a chat text and its colour: the two are split at the first one.
inline constexpr char colourSeparator = '|';

} // namespace msg
