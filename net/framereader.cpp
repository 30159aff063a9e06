#include "net/framereader.h"

#include "net/logging.h"

QList<QByteArray> FrameReader::feed(const QByteArray& data)
{
    QList<QByteArray> frames;
    qsizetype start = 0;
    qsizetype end = data.indexOf(msg::terminator);
    if (end >= 0) {
        m_tail.append(data.constData(), end);
        frames.append(std::exchange(m_tail, {}));
        start = end + 1;
        while ((end = data.indexOf(msg::terminator, start)) >= 0) {
            frames.append(data.mid(start, end - start));
            start = end + 1;
        }
    }
    m_tail.append(data.constData() + start, data.size() - start);
    if (m_tail.size() > maxTail) {
        qCDebug(lcNet) << "unterminated input over" << maxTail << "bytes discarded";
        m_tail.clear();
        m_tail.squeeze();
        m_overflowed = true;
    }
    return frames;
}
