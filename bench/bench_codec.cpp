// Speed of the tally container codec next to memcpy and LZ4 (on the same 32 KiB
// chunks), on a large text and on a small tally-sized file. Prints figures only.
#include "tally/lzrw1kh.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#ifdef QUORVEL_HAVE_LZ4
#include <lz4.h>
#endif

// Counts heap allocations so the figures can show the small-file path allocates
// nothing per call.
namespace {
std::atomic<std::size_t> g_allocations{0};
}

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// Small deterministic generator: the input is the same on every machine.
struct XorShift {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint64_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
};

// English-like prose: a Zipf-ish pick from a few hundred words, sentences of
// varying length, punctuation and line breaks.
Bytes makeText(std::size_t size)
{
    static const char* const common[] = {
        "the",   "of",  "and",  "a",    "to",    "in",  "is",   "you",  "that",  "it",
        "he",    "was", "for",  "on",   "are",   "as",  "with", "his",  "they",  "I",
        "at",    "be",  "this", "have", "from",  "or",  "one",  "had",  "by",    "word",
        "but",   "not", "what", "all",  "were",  "we",  "when", "your", "can",   "said",
        "there", "use", "an",   "each", "which", "she", "do",   "how",  "their", "if"};
    static const char* const syllables[] = {"ba",  "con",  "de",  "ri",  "ma",  "tion", "ver",
                                            "lo",  "sen",  "tra", "mi",  "pe",  "ca",   "ning",
                                            "so",  "ful",  "ex",  "pro", "gra", "ble",  "qu",
                                            "ist", "ment", "ar",  "ol",  "un",  "ly",   "ed"};
    XorShift rng;
    std::vector<std::string> rare;
    for (int i = 0; i < 600; ++i) {
        std::string w;
        const std::size_t parts = 1 + rng.below(3);
        for (std::size_t k = 0; k < parts; ++k)
            w += syllables[rng.below(std::size(syllables))];
        rare.push_back(w);
    }

    std::string text;
    text.reserve(size + 256);
    std::size_t lineLength = 0;
    while (text.size() < size) {
        const std::size_t words = 4 + rng.below(14);
        for (std::size_t i = 0; i < words; ++i) {
            std::string w;
            if (rng.below(100) < 55)
                w = common[std::min(rng.below(std::size(common)), rng.below(std::size(common)))];
            else
                w = rare[std::min(rng.below(rare.size()), rng.below(rare.size()))];
            if (i == 0)
                w[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
            text += w;
            lineLength += w.size() + 1;
            if (i + 1 == words)
                text += ". !?"[rng.below(8) < 6 ? 0 : 1 + rng.below(3)];
            else if (rng.below(12) == 0)
                text += ',';
            if (lineLength > 70) {
                text += '\n';
                lineLength = 0;
            } else {
                text += ' ';
            }
        }
        if (rng.below(8) == 0) {
            text += "\n\n";
            lineLength = 0;
        }
    }
    text.resize(size);
    return Bytes(text.begin(), text.end());
}

// What a tally file holds: per player a name line and counts, CR LF separated.
Bytes makeTally(std::size_t size)
{
    static const char* const names[] = {"Marta", "Bob",   "Kiki", "Oskar", "Lena",   "Tomasz",
                                        "Ines",  "Pavel", "Jo",   "Ruth",  "Anselm", "Dora"};
    XorShift rng;
    std::string text = "12\r\n";
    while (text.size() < size) {
        text += names[rng.below(std::size(names))];
        text += std::to_string(rng.below(100));
        text += "\r\n";
        for (int i = 0; i < 10; ++i) {
            text += std::to_string(rng.below(4) == 0 ? rng.below(30) : 0);
            text += "\r\n";
        }
    }
    text.resize(size);
    return Bytes(text.begin(), text.end());
}

struct Timing {
    double secondsPerCall = 0;
    std::size_t allocationsPerCall = 0;
};

// Share of wall time the process had the processor in the worst batch kept; low
// when other work shared the machine, and then the figures are pessimistic.
double g_worstCpuShare = 1.0;

// Best time per call over short repeated batches for about `budget` seconds: the
// minimum is the figure least disturbed by other work on the machine.
template <typename F> Timing measure(F&& call, double budget)
{
    call(); // warm caches and buffers
    std::size_t batch = 1;
    for (;;) {
        const auto t0 = Clock::now();
        for (std::size_t i = 0; i < batch; ++i)
            call();
        if (std::chrono::duration<double>(Clock::now() - t0).count() > 0.005)
            break;
        batch *= 2;
    }
    Timing best{1e30, 0};
    double bestCpu = 0;
    const auto start = Clock::now();
    do {
        const std::size_t before = g_allocations;
        const std::clock_t c0 = std::clock();
        const auto t0 = Clock::now();
        for (std::size_t i = 0; i < batch; ++i)
            call();
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double cpu = double(std::clock() - c0) / CLOCKS_PER_SEC;
        best.allocationsPerCall = (g_allocations - before) / batch;
        if (wall / double(batch) < best.secondsPerCall) {
            best.secondsPerCall = wall / double(batch);
            bestCpu = cpu;
        }
    } while (std::chrono::duration<double>(Clock::now() - start).count() < budget);
    g_worstCpuShare = std::min(g_worstCpuShare, bestCpu / (best.secondsPerCall * double(batch)));
    return best;
}

volatile std::uint8_t g_sink;

struct Row {
    const char* name;
    double compress = 0;   // seconds per call
    double decompress = 0; // seconds per call
    std::size_t storedSize = 0;
    std::size_t allocations = 0;
};

void report(const char* title, std::size_t inputSize, const std::vector<Row>& rows)
{
    const double mb = double(inputSize) / 1e6;
    std::printf("\n%s (%zu bytes)\n", title, inputSize);
    std::printf("  %-8s %12s %12s %12s %12s %8s %7s\n", "codec", "comp MB/s", "decomp MB/s",
                "comp us", "decomp us", "ratio", "allocs");
    for (const Row& r : rows) {
        std::printf("  %-8s %12.1f %12.1f %12.2f %12.2f %8.3f %7zu\n", r.name, mb / r.compress,
                    mb / r.decompress, r.compress * 1e6, r.decompress * 1e6,
                    double(r.storedSize) / double(inputSize), r.allocations);
    }
#ifdef QUORVEL_HAVE_LZ4
    const Row& ours = rows[1];
    const Row& lz4 = rows[3];
    std::printf("  lzrw1kh vs LZ4: compression speed %.0f%%, decompression speed %.0f%%, "
                "time per call %.2fx / %.2fx\n",
                100.0 * lz4.compress / ours.compress, 100.0 * lz4.decompress / ours.decompress,
                ours.compress / lz4.compress, ours.decompress / lz4.decompress);
#endif
}

void run(const char* title, const Bytes& input, double budget)
{
    std::vector<Row> rows;

    Bytes copy(input.size());
    const Timing mc = measure(
        [&] {
            std::memcpy(copy.data(), input.data(), input.size());
            g_sink = copy[input.size() / 2];
        },
        budget);
    rows.push_back(
        {"memcpy", mc.secondsPerCall, mc.secondsPerCall, input.size(), mc.allocationsPerCall});

    // Buffers owned by the caller and reused, as the tally window does.
    Bytes storedBuffer(lzrw1kh::compressBound(input.size()));
    const std::span<std::uint8_t> stored(storedBuffer);
    std::size_t storedSize = 0;
    const Timing c = measure([&] { storedSize = lzrw1kh::compress(input, stored); }, budget);
    const std::span<const std::uint8_t> storedView(stored.data(), storedSize);
    Bytes plainBuffer(input.size());
    const std::span<std::uint8_t> plain(plainBuffer);
    const Timing d =
        measure([&] { g_sink = plain[lzrw1kh::decompress(storedView, plain) - 1]; }, budget);
    if (lzrw1kh::decompress(storedView) != input) {
        std::fprintf(stderr, "lzrw1kh round trip failed\n");
        std::exit(1);
    }
    rows.push_back({"lzrw1kh", c.secondsPerCall, d.secondsPerCall, storedSize,
                    c.allocationsPerCall + d.allocationsPerCall});

    // The vector interface with vectors kept from call to call, as the tally
    // window holds them: it should allocate nothing once warmed up either.
    Bytes storedVector;
    Bytes plainVector;
    const Timing cv = measure([&] { lzrw1kh::compress(input, storedVector); }, budget / 2);
    const Timing dv = measure([&] { lzrw1kh::decompress(storedVector, plainVector); }, budget / 2);
    rows.push_back({"(vector)", cv.secondsPerCall, dv.secondsPerCall, storedVector.size(),
                    cv.allocationsPerCall + dv.allocationsPerCall});

#ifdef QUORVEL_HAVE_LZ4
    const std::size_t chunks = (input.size() + lzrw1kh::kChunkSize - 1) / lzrw1kh::kChunkSize;
    const int bound = LZ4_compressBound(static_cast<int>(lzrw1kh::kChunkSize));
    Bytes lz(chunks * (static_cast<std::size_t>(bound) + 4));
    std::vector<int> lzSizes(chunks);
    const Timing lc = measure(
        [&] {
            for (std::size_t i = 0; i < chunks; ++i) {
                const std::size_t at = i * lzrw1kh::kChunkSize;
                const int n = static_cast<int>(std::min(lzrw1kh::kChunkSize, input.size() - at));
                lzSizes[i] = LZ4_compress_default(
                    reinterpret_cast<const char*>(input.data() + at),
                    reinterpret_cast<char*>(lz.data() + i * std::size_t(bound)), n, bound);
            }
        },
        budget);
    std::size_t lzTotal = 0;
    for (int s : lzSizes)
        lzTotal += static_cast<std::size_t>(s) + 2; // with a block length like ours
    Bytes lzOut(input.size());
    const Timing ld = measure(
        [&] {
            for (std::size_t i = 0; i < chunks; ++i) {
                const std::size_t at = i * lzrw1kh::kChunkSize;
                const int n = static_cast<int>(std::min(lzrw1kh::kChunkSize, input.size() - at));
                if (LZ4_decompress_safe(
                        reinterpret_cast<const char*>(lz.data() + i * std::size_t(bound)),
                        reinterpret_cast<char*>(lzOut.data() + at), lzSizes[i], n) != n)
                    std::abort();
            }
        },
        budget);
    if (lzOut != input) {
        std::fprintf(stderr, "LZ4 round trip failed\n");
        std::exit(1);
    }
    rows.push_back({"LZ4", lc.secondsPerCall, ld.secondsPerCall, lzTotal,
                    lc.allocationsPerCall + ld.allocationsPerCall});
#endif

    report(title, input.size(), rows);
}

} // namespace

int main()
{
    const Bytes text = makeText(10 * 1000 * 1000);
    const Bytes tally = makeTally(2048);
#ifndef QUORVEL_HAVE_LZ4
    std::printf("LZ4 not found at build time: no comparison figures\n");
#endif
    run("text", text, 2.0);
    run("tally", tally, 1.0);
    if (g_worstCpuShare < 0.9)
        std::printf("\nnote: the machine was busy (as little as %.0f%% of a processor in a kept "
                    "batch); figures are pessimistic\n",
                    100.0 * g_worstCpuShare);
    return 0;
}
