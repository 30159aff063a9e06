#pragma once

#include <QByteArray>
#include <QString>

// Writes a file whole beside the old one and renames it into place, so a full disk or a
// crash on the way leaves the previous file intact. Returns false with the reason in
// *error when anything failed; the old file is then untouched.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
