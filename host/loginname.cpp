#include "host/loginname.h"

#include "net/messages.h"

namespace rules {

QByteArray sanitisedLoginName(QByteArray name)
{
    for (char& c : name) {
        if (c == msg::fieldSeparator || c == msg::colourSeparator || c == '\r' || c == '\n' ||
            c == msg::terminator)
            c = ' ';
    }
    return name;
}

} // namespace rules
