#include "tally/tallytable.h"

#include <QList>

#include <limits>

namespace {
const QString zero = QStringLiteral("0");
constexpr char lineEnd[] = "\r\n";

// The lines of the stored text. CR LF is what we write; a bare LF (a file touched by
// hand) reads the same. The ending of the last line may be missing.
QList<QByteArray> splitLines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// A cell that held a line break would shift every later cell of the stored text.
QByteArray storedCell(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}
} // namespace

TallyTable::TallyTable()
{
    Row own;
    own.fill(zero);
    m_rows.push_back(own);
}

void TallyTable::addOne(int row, int column)
{
    bool ok = false;
    qint64 value = m_rows.at(row).at(column).toLongLong(&ok);
    if (!ok)
        value = 0;
    if (value < std::numeric_limits<qint64>::max())
        ++value;
    m_rows.at(row).at(column) = QString::number(value);
}

int TallyTable::findRow(const QString& opponent) const
{
    for (int row = 1; row < rowCount(); ++row) {
        if (m_rows[row][name] == opponent)
            return row;
    }
    return -1;
}

int TallyTable::appendRow(const QString& opponent)
{
    Row row;
    row.fill(zero);
    row[name] = opponent;
    m_rows.push_back(row);
    return rowCount() - 1;
}

void TallyTable::removeRow(int row)
{
    if (row >= 1 && row < rowCount())
        m_rows.erase(m_rows.begin() + row);
}

void TallyTable::reset()
{
    m_rows.resize(1);
    for (int column = games; column <= neitherWon; ++column)
        m_rows[0][column] = zero;
}

void TallyTable::startSession()
{
    for (int row = 1; row < rowCount(); ++row) {
        for (int column = games; column <= neitherWon; ++column)
            m_rows[row][column + sessionOffset] = zero;
    }
}

QByteArray TallyTable::toText() const
{
    QByteArray text;
    text += QByteArray::number(columnCount) + lineEnd;
    text += QByteArray::number(rowCount()) + lineEnd;
    for (int column = 0; column < columnCount; ++column) {
        for (const Row& row : m_rows)
            text += storedCell(row[column]) + lineEnd;
    }
    return text;
}

std::optional<TallyTable> TallyTable::fromText(const QByteArray& text, QString* why)
{
    const auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QList<QByteArray> lines = splitLines(text);
    if (lines.size() < 2)
        return refuse(QStringLiteral("no column and row counts"));
    bool ok = false;
    const int columns = lines[0].toInt(&ok);
    if (!ok || columns != columnCount)
        return refuse(QStringLiteral("column count is not %1").arg(columnCount));
    const qint64 rows = lines[1].toLongLong(&ok);
    if (!ok || rows < 1)
        return refuse(QStringLiteral("row count is not a number of at least 1"));
    // Compared before anything is made, so a lying count cannot make a huge table.
    if (rows > lines.size() || 2 + rows * columnCount != lines.size())
        return refuse(QStringLiteral("%1 lines for %2 rows").arg(lines.size()).arg(rows));

    TallyTable table;
    table.m_rows.assign(std::size_t(rows), Row{});
    qsizetype line = 2;
    for (int column = 0; column < columnCount; ++column) {
        for (Row& row : table.m_rows)
            row[column] = QString::fromUtf8(lines[line++]);
    }
    return table;
}
