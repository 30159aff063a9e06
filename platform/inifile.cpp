#include "platform/inifile.h"

#include "platform/wholefile.h"

#include <QFile>

namespace {
const QByteArray byteOrderMark("\xEF\xBB\xBF");

bool sameName(const QByteArray& stored, QStringView wanted)
{
    return QString::fromUtf8(stored).compare(wanted, Qt::CaseInsensitive) == 0;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::load()
{
    m_lines.clear();
    m_readFailed = false;
    m_error.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        m_readFailed = true;
        m_error = file.errorString();
        return false;
    }
    setBytes(file.readAll());
    return true;
}

void IniFile::setBytes(const QByteArray& bytes)
{
    m_lines.clear();
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            m_lines.append({bytes.mid(start), {}});
            break;
        }
        const bool crlf = newline > start && bytes[newline - 1] == '\r';
        const qsizetype textEnd = crlf ? newline - 1 : newline;
        m_lines.append({bytes.mid(start, textEnd - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
}

QByteArray IniFile::bytes() const
{
    QByteArray out;
    for (const Line& line : m_lines)
        out += line.text + line.end;
    return out;
}

IniFile::Parsed IniFile::parse(qsizetype index) const
{
    const QByteArray& text = m_lines[index].text;
    const qsizetype from =
        (index == 0 && text.startsWith(byteOrderMark)) ? byteOrderMark.size() : 0;
    const QByteArray trimmed = text.mid(from).trimmed();
    Parsed parsed;
    if (trimmed.startsWith('[')) {
        const qsizetype close = trimmed.indexOf(']');
        parsed.kind = Parsed::Section;
        parsed.name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return parsed;
    }
    if (trimmed.startsWith(';'))
        return parsed;
    const qsizetype equals = text.indexOf('=', from);
    if (equals < 0)
        return parsed;
    parsed.name = text.mid(from, equals - from).trimmed();
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = Parsed::Key;
    parsed.valueAt = equals + 1;
    while (parsed.valueAt < text.size() && isBlank(text[parsed.valueAt]))
        ++parsed.valueAt;
    parsed.value = text.mid(parsed.valueAt).trimmed();
    return parsed;
}

qsizetype IniFile::findSection(QStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parse(i);
        if (parsed.kind == Parsed::Section && sameName(parsed.name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && parse(i).kind != Parsed::Section)
        ++i;
    return i;
}

qsizetype IniFile::findKey(qsizetype header, QStringView key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Parsed parsed = parse(i);
        if (parsed.kind == Parsed::Key && sameName(parsed.name, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return QString::fromUtf8(parse(line).value);
}

QString IniFile::value(QStringView section, QStringView key, const QString& fallback) const
{
    return value(section, key).value_or(fallback);
}

QByteArray IniFile::lineEnd() const
{
    // New lines follow the file's own convention so an edited file does not mix them.
    for (const Line& line : m_lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return "\n";
}

void IniFile::insertLine(qsizetype index, const QByteArray& text)
{
    const QByteArray end = lineEnd();
    if (index > 0 && m_lines[index - 1].end.isEmpty())
        m_lines[index - 1].end = end;
    m_lines.insert(index, {text, end});
}

void IniFile::setValue(QStringView section, QStringView key, const QString& value)
{
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray raw = oneLine.toUtf8();

    const qsizetype header = findSection(section);
    if (header < 0) {
        insertLine(m_lines.size(), '[' + section.toUtf8() + ']');
        insertLine(m_lines.size(), key.toUtf8() + '=' + raw);
        return;
    }
    if (const qsizetype line = findKey(header, key); line >= 0) {
        const Parsed parsed = parse(line);
        if (parsed.value != raw) {
            // The key as the file spells it, and its spacing, stay.
            QByteArray& text = m_lines[line].text;
            text = text.left(parsed.valueAt) + raw;
        }
        return;
    }
    // After the section's last non-blank line, so blank lines before the next section stay
    // where they are.
    qsizetype at = header + 1;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (!m_lines[i].text.trimmed().isEmpty())
            at = i + 1;
    }
    insertLine(at, key.toUtf8() + '=' + raw);
}

bool IniFile::save()
{
    if (m_readFailed) {
        m_error = QStringLiteral("%1 could not be read, so it is not overwritten").arg(m_path);
        return false;
    }
    if (!writeWholeFile(m_path, bytes(), &m_error))
        return false;
    m_error.clear();
    return true;
}
