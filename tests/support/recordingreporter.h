#pragma once

#include "net/errorreporter.h"

#include <QStringList>

// Collects the errors that the program would show in its error box.
class RecordingReporter : public ErrorReporter {
public:
    void report(const QString& text) override { errors.append(text); }
    QStringList errors;
};
