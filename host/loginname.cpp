#include "loginname.h"

namespace rules {

QByteArray sanitisedLoginName(QByteArray name)
{
    for (char& c : name) {
        if (c == '+' || c == '|' || c == '\r' || c == '\n' || c == '\xff')
            c = ' ';
    }
    return name;
}

} // namespace rules
