#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// For the start-up benchmark: when QUORVEL_STARTUP_PROBE is set, the moments the window is
// shown and has finished its first paint (steady clock, nanoseconds) and the peak memory at
// that paint are printed on one line, and the process ends there, before anything else the
// program does once its window is painted.
class StartupProbe : public QObject {
public:
    static constexpr const char* variable = "QUORVEL_STARTUP_PROBE";

    // Watches the window when the benchmark asks; otherwise does nothing.
    static void watchIfAsked(QWidget* window)
    {
        if (!qEnvironmentVariableIsSet(variable))
            return;
        // The application's filter sees the window's events before the window's own filters,
        // so the figures are read ahead of whatever they queue after the first paint.
        QCoreApplication::instance()->installEventFilter(new StartupProbe(window));
    }

    static long long now()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    // The process's peak resident memory so far, in KiB.
    static long peakKiB()
    {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word)
            if (word == "VmHWM:") {
                long kib = 0;
                status >> kib;
                return kib;
            }
        return 0;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == parent() && event->type() == QEvent::Show && m_shown == 0)
            m_shown = now();
        if (watched == parent() && event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, this, [this] {
                std::printf("startup-probe shown=%lld painted=%lld peak_kib=%ld\n", m_shown, now(),
                            peakKiB());
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
    long long m_shown = 0;
    bool m_painted = false;
};
