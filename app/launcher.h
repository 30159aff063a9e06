#pragma once

#include "app/program.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

// Runs one copy of the program at a time: first the one the launch arguments ask for, then,
// each time the player picks a game in "Play with Others", a new copy started as those
// three arguments would start it. The process, its single-instance claim and its toolkit
// stay; the old copy closes as by "Exit" (its table and port are freed) before the new one
// opens.
class Launcher : public QObject {
    Q_OBJECT
public:
    explicit Launcher(LaunchOptions options, ErrorReporter* errors = nullptr,
                      SoundPlayer* sounds = nullptr,
                      std::optional<HostSettings> hostSettings = std::nullopt);
    ~Launcher() override;

    Program& program() { return *m_program; }
    // Shows the current copy's window.
    void show();
    // Starts a copy with these launch arguments once the current one has closed.
    void startWith(const QStringList& arguments);

public slots:
    // The session ends: closes without asking the player anything.
    void closeWithoutAsking();

signals:
    // A new copy's window was shown in place of the old one.
    void restarted();
    // The last window has closed: the program ends.
    void finished();

private:
    void makeProgram();
    void windowClosed();

    LaunchOptions m_options;
    ErrorReporter* m_errors;
    SoundPlayer* m_sounds;
    std::optional<HostSettings> m_hostSettings;
    std::unique_ptr<Program> m_program;
    std::optional<QStringList> m_next;
};
