#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A private-profile ini file: section lines "[name]" and value lines "key=value".
// Section and key names match without regard to letter case; values are raw text (no
// quoting or escaping, so "Wow, WTG!" or "a=b" are stored as they stand), trimmed of
// blanks at both ends when read. Writing a key changes only that key's line, or adds
// one at the end of its section; every other byte of the file stays as it was, line
// ends included. The whole file is read into memory and written back in one piece, so
// a crash during a save leaves either the old file or the new one.
class IniFile {
public:
    explicit IniFile(QString path = {});

    // Reads the file. A missing file reads as an empty one. Returns false when the file
    // exists but cannot be read; save() then refuses, so the unread content survives.
    bool load();
    // The file's content without touching the disk (tests, or text from elsewhere).
    void setBytes(const QByteArray& bytes);
    QByteArray bytes() const;

    // The first matching key of the first matching section; nullopt when either is missing.
    // An existing key with nothing after "=" gives an empty text.
    std::optional<QString> value(QStringView section, QStringView key) const;
    QString value(QStringView section, QStringView key, const QString& fallback) const;
    // Line breaks in the value become blanks: a value is one line.
    void setValue(QStringView section, QStringView key, const QString& value);

    // Replaces the file with the current content (QSaveFile). The folder must exist.
    bool save();
    QString errorString() const { return m_error; }
    const QString& path() const { return m_path; }

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;  // "\n", "\r\n", or empty for a last line without one
    };
    struct Parsed {
        enum Kind { Other, Section, Key } kind = Other;
        QByteArray name;       // section or key name, trimmed
        QByteArray value;      // key's value, trimmed
        qsizetype valueAt = 0; // where the value starts within the line, after blanks
    };

    Parsed parse(qsizetype index) const;
    qsizetype findSection(QStringView section) const;
    // Index one past the section's last line (the next header or the end of the file).
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, QStringView key) const;
    QByteArray lineEnd() const;
    void insertLine(qsizetype index, const QByteArray& text);

    QString m_path;
    QList<Line> m_lines;
    bool m_readFailed = false;
    QString m_error;
};
