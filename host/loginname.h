#pragma once

#include <QByteArray>

namespace rules {

// A login name travels in the middle of several messages, so every byte that would end
// a field, a chat text, a queue line or a frame is replaced by a blank.
QByteArray sanitisedLoginName(QByteArray name);

} // namespace rules
