// Time from a client's send of a chat line to its receipt of the host's relay, over
// loopback, for isolated messages (spaced further apart than a dispatch tick).
#include "net/messages.h"
#include "support/hostingcopy.h"
#include "support/rawclient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    HostingCopy hosting(argc, argv);
    Program& program = hosting.program();
    liftRelayLimit(program);

    RawClient client;
    if (!joinTable(client, program, "Bench")) {
        std::printf("latency: could not log in\n");
        return 1;
    }
    runFor(200);

    QElapsedTimer clock;
    qint64 sentAt = 0;
    std::vector<double> samples;
    bool waiting = false;
    QObject::connect(&client, &RawClient::messageReceived, [&](const QByteArray& text) {
        if (waiting && text.startsWith(cmd::chat)) {
            samples.push_back(double(clock.nsecsElapsed() - sentAt) / 1e6);
            waiting = false;
        }
    });
    clock.start();
    const int count = 300;
    for (int i = 0; i < count; ++i) {
        runFor(15);
        waiting = true;
        sentAt = clock.nsecsElapsed();
        client.sendRaw(msg::chat(client.seat(), QStringLiteral("ping"), QStringLiteral("clBlack")));
        QElapsedTimer timeout;
        timeout.start();
        while (waiting && timeout.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    if (samples.empty()) {
        std::printf("latency: no answers\n");
        return 1;
    }
    const Percentiles figures = percentiles(samples);
    std::printf("chat round trip over loopback, %zu isolated messages: median %.3f ms, "
                "99th percentile %.3f ms (goal: under 0.3 ms and 1 ms)\n",
                samples.size(), figures.median, figures.p99);
    return 0;
}
