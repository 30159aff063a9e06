#pragma once

// What the network benchmarks share: a hosting copy of the program in this process.
#include "app/program.h"
#include "net/messages.h"
#include "support/rawclient.h"
#include "support/recordingreporter.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

inline void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The offscreen application and a hosting copy of the program, shown, as every network
// benchmark starts.
class HostingCopy {
public:
    HostingCopy(int& argc, char** argv) : m_app(offscreen(argc), argv)
    {
        LaunchOptions options;
        options.arguments = {"Host", "127.0.0.1", "true"};
        options.gamePort = 0;
        options.lobbyPort = 1; // nothing listens there; the failed connect is ignored
        m_program = std::make_unique<Program>(options, &m_errors);
        m_program->chat().show();
    }

    Program& program() { return *m_program; }

private:
    static int& offscreen(int& argc)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    QApplication m_app;
    RecordingReporter m_errors;
    std::unique_ptr<Program> m_program;
};

// Lets every chat line through the relay limit (each reading of its clock is a second
// later), for benchmarks that send more than a person types.
inline void liftRelayLimit(Program& program)
{
    program.server().setClock([now = qint64(0)]() mutable { return now += 1000; });
}

// Connects a raw client to the hosting copy and logs it in under name.
inline bool joinTable(RawClient& client, Program& program, const QString& name)
{
    return client.join(program.server().serverPort(), name);
}

struct Percentiles {
    double median = 0;
    double p99 = 0;
};

// Median and 99th percentile of samples (not empty).
inline Percentiles percentiles(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2],
            samples[std::min(samples.size() - 1, samples.size() * 99 / 100)]};
}
