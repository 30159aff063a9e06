// Latency under flood: one seat sends chat lines as fast as its connection takes them while
// another sends an isolated chat line every 100 ms and times its relay back, over 20 s.
// The relay limit is lifted so that every flood line is dispatched and relayed: what is
// measured is the fair dispatch and the bounded buffers, not the limit dropping lines.
#include "net/messages.h"
#include "support/hostingcopy.h"
#include "support/rawclient.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sys/resource.h>
#include <vector>

namespace {
double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
} // namespace

int main(int argc, char* argv[])
{
    HostingCopy hosting(argc, argv);
    Program& program = hosting.program();
    liftRelayLimit(program);

    RawClient flooder;
    RawClient honest;
    if (!joinTable(flooder, program, "Flooder") || !joinTable(honest, program, "Honest")) {
        std::printf("flood: could not log in\n");
        return 1;
    }
    runFor(200);
    const double rssBefore = peakRssMiB();

    // The flooder reads and forgets what it is sent, and keeps its own send buffer topped up
    // to 64 KiB, so the rest of the flood waits in the network, not in this process.
    QObject::disconnect(&flooder.socket, nullptr, &flooder, nullptr);
    QObject::connect(&flooder.socket, &QTcpSocket::readyRead, [&] { flooder.socket.readAll(); });
    const QByteArray line =
        msg::chat(flooder.seat(), QStringLiteral("flood"), QStringLiteral("clBlack"));
    QByteArray batch;
    while (batch.size() < 16384)
        batch += line;
    const auto topUp = [&] {
        while (flooder.socket.bytesToWrite() < 65536)
            flooder.socket.write(batch);
    };
    QObject::connect(&flooder.socket, &QTcpSocket::bytesWritten, topUp);

    QElapsedTimer clock;
    std::map<int, qint64> sentAt;
    std::vector<double> samples;
    QObject::connect(&honest, &RawClient::messageReceived, [&](const QByteArray& text) {
        const QByteArray mine =
            QByteArray(cmd::chat) + '+' + QByteArray::number(honest.seat()) + '+';
        if (!text.startsWith(mine))
            return;
        const qsizetype at = text.indexOf("ping");
        const auto it =
            at < 0 ? sentAt.end() : sentAt.find(text.mid(at + 4).split('|').first().toInt());
        if (it != sentAt.end()) {
            samples.push_back(double(clock.nsecsElapsed() - it->second) / 1e6);
            sentAt.erase(it);
        }
    });
    int sent = 0;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        sentAt[sent] = clock.nsecsElapsed();
        honest.sendRaw(msg::chat(honest.seat(), QStringLiteral("ping%1").arg(sent),
                                 QStringLiteral("clBlack")));
        ++sent;
    });

    clock.start();
    topUp();
    pace.start(100);
    runFor(20000);
    pace.stop();
    runFor(500); // the last line's relay

    if (samples.empty()) {
        std::printf("flood: no honest line was relayed\n");
        return 1;
    }
    const Percentiles figures = percentiles(samples);
    const QByteArray flood = QByteArray(cmd::chat) + '+' + QByteArray::number(flooder.seat()) + '+';
    std::printf("latency under flood, 20 s: %zu of %d honest lines relayed, median %.1f ms, "
                "99th percentile %.1f ms (goal: under 100 ms); %lld flood lines relayed\n",
                samples.size(), sent, figures.median, figures.p99,
                static_cast<long long>(honest.withPrefix(flood).size()));
    std::printf("peak RSS %.1f MiB, %.1f MiB before the flood (goal: under 80 MiB)\n", peakRssMiB(),
                rssBefore);
    return 0;
}
