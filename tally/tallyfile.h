#pragma once

#include "tally/tallytable.h"

#include <QString>

// The tally file: the table's text in the compressed container. A file that is not a
// tally is moved aside, and one that cannot be read is left alone and never written over,
// so no tally is ever lost to a damaged disk or a newer program.
class TallyFile {
public:
    explicit TallyFile(QString path) : m_path(std::move(path)) {}

    struct Read {
        TallyTable table;
        // For the user, when the file could not be used; empty otherwise.
        QString notice;
        // True when a damaged file was moved aside: the empty tally takes its place.
        bool replace = false;
    };
    // A missing file gives an empty tally.
    Read read();
    // Replaces the file with the table (whole, or not at all). False when it could not be
    // written or when a file that could not be read must not be overwritten.
    bool write(const TallyTable& table);

    const QString& path() const { return m_path; }

private:
    Read keepDamagedFile(const QString& reason);
    Read cannotRead(const QString& reason);

    QString m_path;
    // Set when the file on disk could not be read or moved aside: writing over it would
    // lose the tally it may still hold.
    bool m_keepFile = false;
};
