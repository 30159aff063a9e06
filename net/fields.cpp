#include "net/fields.h"

#include "net/separators.h"

#include <limits>

FieldError::FieldError(const QString& message) : std::runtime_error(message.toStdString()) {}

bool Fields::parseNumber(const QByteArray& text, int* value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
        if (result > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return false;
    *value = int(result);
    return true;
}

QByteArray Fields::field()
{
    if (m_pos >= m_body.size())
        return {};
    const qsizetype plus = m_body.indexOf(msg::fieldSeparator, m_pos);
    const qsizetype end = plus < 0 ? m_body.size() : plus;
    QByteArray result = m_body.mid(m_pos, end - m_pos);
    m_pos = plus < 0 ? m_body.size() : plus + 1;
    return result;
}

int Fields::number()
{
    const QByteArray text = field();
    int value = 0;
    if (!parseNumber(text, &value))
        throw FieldError(QStringLiteral("'%1' is not a valid integer value")
                             .arg(QString::fromUtf8(text.left(64))));
    return value;
}
