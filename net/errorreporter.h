#pragma once

#include <QString>

// Where errors that end a handler go: the program-wide error box in the program, a
// recorder in tests.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(const QString& text) = 0;
};

// Texts of the socket errors that ordinary use can meet.
namespace socketerror {
inline const QString hostLookup = QStringLiteral("Host Lookup - Could Not Find Host Entry");
inline const QString binding = QStringLiteral("Listen - Error Binding Socket");
inline const QString listening = QStringLiteral("Listen - Error Starting Listen");
inline const QString notConnected = QStringLiteral("Send - Socket Not Connected");
} // namespace socketerror
