// The stored tally container: exact bytes against known files, round trips
// around the chunk boundaries, and refusal of damaged or foreign files.
#include "support/files.h"
#include "tally/lzrw1kh.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <span>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

const char kSizeMismatch[] =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const char kReadError[] = "Lzrw1 : Error reading from input file : ";

Bytes bytesOf(const QByteArray& a)
{
    return Bytes(a.begin(), a.end());
}

// Compared as QByteArray so a failure prints the bytes.
QByteArray qba(const Bytes& b)
{
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes b;
    for (int v : values)
        b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

Bytes header(std::uint32_t size)
{
    return bytesOf({'W', 'R', 'Z', 'L', int(size & 0xFF), int((size >> 8) & 0xFF),
                    int((size >> 16) & 0xFF), int(size >> 24)});
}

Bytes block(const Bytes& coded)
{
    return concat({bytesOf({int(coded.size() & 0xFF), int(coded.size() >> 8)}), coded});
}

Bytes randomBytes(std::size_t n, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(rng());
    return b;
}

Bytes repeated(std::string_view piece, std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(piece[i % piece.size()]);
    return b;
}

// Word salad with the repetitiveness of real text.
Bytes text(std::size_t n, std::uint32_t seed)
{
    static const char* const words[] = {"bingo ", "ball ", "card ", "Marta ", "round ", "score\r\n",
                                        "the ",   "seat ", "line ", "Zorer ", "Aru ",   "square "};
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        const char* w = words[rng() % std::size(words)];
        b.insert(b.end(), w, w + std::strlen(w));
    }
    b.resize(n);
    return b;
}

// Stretches of runs, copies and noise mixed, to cross every kind of item.
Bytes mixed(std::size_t n, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        switch (rng() % 4) {
        case 0:
            b.insert(b.end(), 1 + rng() % 5000, static_cast<std::uint8_t>(rng()));
            break;
        case 1: {
            const Bytes r = randomBytes(1 + rng() % 40, rng());
            b.insert(b.end(), r.begin(), r.end());
            break;
        }
        default:
            if (!b.empty()) {
                const std::size_t dist = 1 + rng() % std::min<std::size_t>(b.size(), 5000);
                const std::size_t len = 1 + rng() % 60;
                for (std::size_t i = 0; i < len; ++i)
                    b.push_back(b[b.size() - dist]);
            }
        }
    }
    b.resize(n);
    return b;
}

Bytes tallyLike(std::size_t n)
{
    return repeated("Marta\r\n0\r\n0\r\n3\r\n0\r\n0\r\n1\r\n0\r\nOskar\r\n0\r\n0\r\n0\r\n2\r\n", n);
}

struct BlockInfo {
    std::uint8_t flag = 0;
    std::size_t length = 0;
};

// The block chain of a stored file, by its length fields alone.
std::vector<BlockInfo> blocksOf(const Bytes& stored)
{
    std::vector<BlockInfo> blocks;
    std::size_t at = 8;
    while (at + 2 <= stored.size()) {
        const std::size_t len = stored[at] | (std::size_t{stored[at + 1]} << 8);
        blocks.push_back({len ? stored[at + 2] : std::uint8_t{0}, len});
        at += 2 + len;
    }
    if (at != stored.size())
        blocks.push_back({0, 0}); // chain does not end where the file ends
    return blocks;
}

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const lzrw1kh::Error& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

} // namespace

class tst_Container : public QObject {
    Q_OBJECT

private slots:
    void exactBytes_data();
    void exactBytes();
    void incompressibleIsStored_data();
    void incompressibleIsStored();
    void fullChunkEndsWithEmptyBlock_data();
    void fullChunkEndsWithEmptyBlock();
    void matchesStayInReach();
    void roundTrip_data();
    void roundTrip();
    void reusedBuffers();
    void damaged_data();
    void damaged();
    void everyTruncationAndFlip();
    void fileRefused_data();
    void fileRefused();
};

// Stored bytes against their plain text, the known files among them. Rows with encodes
// false hold copies only another coder writes.
void tst_Container::exactBytes_data()
{
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<Bytes>("stored");
    QTest::addColumn<bool>("encodes");
    const auto row = [](const char* name, const Bytes& input, const Bytes& stored,
                        bool encodes = true) { QTest::newRow(name) << input << stored << encodes; };

    row("empty: tag, zero size, one empty stored block", Bytes{},
        bytesOf({'W', 'R', 'Z', 'L', 0, 0, 0, 0, 1, 0, 0x80}));
    row("one byte", bytesOf({'Q'}), concat({header(1), block(bytesOf({0x80, 'Q'}))}));
    row("two bytes", bytesOf({7, 7}), concat({header(2), block(bytesOf({0x80, 7, 7}))}));
    row("100 equal bytes: one run item", Bytes(100, 'z'),
        concat({header(100), block(bytesOf({0x40, 0x80, 0x00, 0x00, 0x00, 0x54, 'z'}))}));
    // Coded exactly as long as the chunk: kept, only a longer coding is dropped.
    row("abcabcab", repeated("abc", 8),
        concat({header(8), block(bytesOf({0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x32}))}));
    row("abc x4: three literals, one copy of 9 from 3 back", repeated("abc", 12),
        concat({header(12), block(bytesOf({0x40, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x36}))}));
    // "Atp" hashes to the one table slot of "abc", so the repeated text finds "Atp"
    // there and starts with literals; the copy comes from the slot of "bcd".
    const Bytes letters = bytesOf(QByteArray("abcdefghijklmnop"));
    row("single probe: colliding strings", concat({letters, bytesOf(QByteArray("Atp")), letters}),
        concat(
            {header(35), block(concat({bytesOf({0x40, 0x00, 0x00}), letters, bytesOf({0x08, 0x00}),
                                       bytesOf(QByteArray("Atpa")), bytesOf({0x01, 0x3C})}))}));
    // Second control word goes just before the 17th item, not after the 16th.
    row("16 literals then a run", concat({letters, Bytes(4095 + 20, '-')}),
        concat({header(16 + 4115),
                block(concat({bytesOf({0x40, 0x00, 0x00}), letters,
                              bytesOf({0xC0, 0x00}), // run of 4095, then 20 more
                              bytesOf({0x00, 0x0F, 0xEF, '-', 0x00, 0x00, 0x04, '-'})}))}));
    // Copies that overlap what they write, as the abc rows above do.
    const auto oneGroup = [](std::size_t size, const Bytes& body) {
        return concat({header(std::uint32_t(size)), block(concat({bytesOf({0x40}), body}))});
    };
    row("distance 1, length 18", Bytes(19, 'x'),
        oneGroup(19, bytesOf({0x40, 0x00, 'x', 0x00, 0x1F})), false);
    row("distance 2, twice", repeated("ab", 38),
        oneGroup(38, bytesOf({0x30, 0x00, 'a', 'b', 0x00, 0x2F, 0x00, 0x2F})), false);
    row("distance 7, length 18", repeated("1234567", 25),
        oneGroup(25, bytesOf({0x01, 0x00, '1', '2', '3', '4', '5', '6', '7', 0x00, 0x7F})), false);
    // Copies ending exactly at a full chunk, where wide copies have no room.
    Bytes body = bytesOf({0xFF, 0xC0});
    for (int i = 0; i < 8; ++i)
        body = concat({body, bytesOf({0x00, 0x0F, 0xEF, 'r'})});
    body = concat({body, bytesOf({0x00, 0x10, 0x00, 0x22})});
    row("copies up to 32768", Bytes(32768, 'r'),
        concat({header(32768), block(concat({bytesOf({0x40}), body})), block(bytesOf({0x80}))}),
        false);
    const QString dir = QStringLiteral(QUORVEL_SOURCE_DIR "/tests/data/container/");
    const QStringList inputs = QDir(dir).entryList({"*.in"}, QDir::Files, QDir::Name);
    QVERIFY2(inputs.size() >= 8, qPrintable("vectors missing in " + dir));
    for (const QString& name : inputs)
        row(qPrintable(name), bytesOf(readFile(dir + name)),
            bytesOf(readFile(dir + name.chopped(3) + ".wrzl")));
}

void tst_Container::exactBytes()
{
    QFETCH(Bytes, input);
    QFETCH(Bytes, stored);
    QFETCH(bool, encodes);
    if (encodes)
        QCOMPARE(qba(lzrw1kh::compress(input)), qba(stored));
    QCOMPARE(qba(lzrw1kh::decompress(stored)), qba(input));
    // The same through a buffer with no room to spare.
    Bytes exact(input.size());
    QCOMPARE(lzrw1kh::decompress(stored, std::span<std::uint8_t>(exact)), input.size());
    QCOMPARE(qba(exact), qba(input));
}

void tst_Container::incompressibleIsStored_data()
{
    QTest::addColumn<Bytes>("input");
    QTest::newRow("1 byte") << bytesOf({0});
    QTest::newRow("2 bytes") << bytesOf({'a', 'b'});
    QTest::newRow("random 1000") << randomBytes(1000, 1);
    QTest::newRow("random 32767") << randomBytes(32767, 2);
    QTest::newRow("random 40000") << randomBytes(40000, 3);
    QTest::newRow("3 bytes") << bytesOf({1, 2, 3});
    // Three literals and a copy of 4 code to 8 bytes, one more than the chunk.
    QTest::newRow("abcabca") << repeated("abc", 7);
}

void tst_Container::incompressibleIsStored()
{
    QFETCH(Bytes, input);
    const Bytes stored = lzrw1kh::compress(input);
    std::size_t at = 8;
    for (std::size_t from = 0;; from += lzrw1kh::kChunkSize) {
        const std::size_t n = std::min(lzrw1kh::kChunkSize, input.size() - from);
        QCOMPARE(stored[at] | (stored[at + 1] << 8), int(n + 1));
        QCOMPARE(stored[at + 2], std::uint8_t{0x80});
        QVERIFY(std::equal(input.begin() + long(from), input.begin() + long(from + n),
                           stored.begin() + long(at + 3)));
        at += 3 + n;
        if (n < lzrw1kh::kChunkSize)
            break;
    }
    QCOMPARE(at, stored.size());
    QCOMPARE(qba(lzrw1kh::decompress(stored)), qba(input));
}

void tst_Container::fullChunkEndsWithEmptyBlock_data()
{
    QTest::addColumn<Bytes>("input");
    QTest::addColumn<int>("blocks");
    QTest::newRow("32768 text") << text(32768, 4) << 2;
    QTest::newRow("32768 random") << randomBytes(32768, 5) << 2;
    QTest::newRow("65536 text") << text(65536, 6) << 3;
    QTest::newRow("32767 text") << text(32767, 7) << 1;
    QTest::newRow("32769 text") << text(32769, 8) << 2;
}

void tst_Container::fullChunkEndsWithEmptyBlock()
{
    QFETCH(Bytes, input);
    QFETCH(int, blocks);
    const Bytes stored = lzrw1kh::compress(input);
    const std::vector<BlockInfo> chain = blocksOf(stored);
    QCOMPARE(int(chain.size()), blocks);
    if (input.size() % lzrw1kh::kChunkSize == 0) {
        QCOMPARE(chain.back().length, std::size_t{1});
        QCOMPARE(chain.back().flag, std::uint8_t{0x80});
    }
    // The reader stops after the short block: whatever follows is not read.
    const Bytes trailed = concat({stored, bytesOf({0xFF, 0xFF, 0x40, 1, 2, 3})});
    QCOMPARE(qba(lzrw1kh::decompress(trailed)), qba(input));
}

// The table is reset per chunk and matches reach back at most 4095 bytes.
void tst_Container::matchesStayInReach()
{
    const Bytes noise = randomBytes(32768, 9);
    const Bytes twice = concat({noise, noise});
    QCOMPARE(blocksOf(lzrw1kh::compress(twice))[1].flag, std::uint8_t{0x80});

    const Bytes farApart = randomBytes(4096, 10);
    const Bytes tooFar = concat({farApart, farApart});
    QCOMPARE(blocksOf(lzrw1kh::compress(tooFar))[0].flag, std::uint8_t{0x80});

    const Bytes near = randomBytes(4095, 11);
    const Bytes inReach = concat({near, near});
    const std::vector<BlockInfo> chain = blocksOf(lzrw1kh::compress(inReach));
    QCOMPARE(chain[0].flag, std::uint8_t{0x40});
    QVERIFY(chain[0].length < 6000);
    QCOMPARE(qba(lzrw1kh::decompress(lzrw1kh::compress(inReach))), qba(inReach));
}

void tst_Container::roundTrip_data()
{
    QTest::addColumn<Bytes>("input");
    const std::size_t sizes[] = {0,     1,     2,     3,     4,     15,       16,
                                 17,    18,    19,    4095,  4096,  4097,     32767,
                                 32768, 32769, 65535, 65536, 65537, 98304 + 5};
    std::uint32_t seed = 100;
    for (std::size_t n : sizes) {
        QTest::addRow("random %zu", n) << randomBytes(n, ++seed);
        QTest::addRow("text %zu", n) << text(n, ++seed);
        QTest::addRow("mixed %zu", n) << mixed(n, ++seed);
        QTest::addRow("zeros %zu", n) << Bytes(n, 0);
        QTest::addRow("period 3 %zu", n) << repeated("0\r\n", n);
        QTest::addRow("tally %zu", n) << tallyLike(n);
    }
    for (std::uint32_t i = 0; i < 40; ++i) {
        std::mt19937 rng(i);
        const std::size_t n = rng() % 140000;
        QTest::addRow("mixed seed %u size %zu", i, n) << mixed(n, 1000 + i);
    }
}

void tst_Container::roundTrip()
{
    QFETCH(Bytes, input);
    const Bytes stored = lzrw1kh::compress(input);
    QVERIFY(stored.size() <= lzrw1kh::compressBound(input.size()));
    QCOMPARE(qba(lzrw1kh::decompress(stored)), qba(input));
    QCOMPARE(lzrw1kh::storedSize(stored), std::uint32_t(input.size()));

    // Through caller buffers of exactly the needed sizes.
    Bytes out(lzrw1kh::compressBound(input.size()));
    const std::size_t storedLength = lzrw1kh::compress(input, std::span<std::uint8_t>(out));
    QCOMPARE(storedLength, stored.size());
    QVERIFY(std::equal(stored.begin(), stored.end(), out.begin()));
    Bytes exact(input.size());
    QCOMPARE(lzrw1kh::decompress(stored, std::span<std::uint8_t>(exact)), input.size());
    QCOMPARE(qba(exact), qba(input));
}

void tst_Container::reusedBuffers()
{
    // Large then small then large: nothing from an earlier call may leak into a later one.
    Bytes stored;
    Bytes plain;
    for (const Bytes& input :
         {text(70000, 1), tallyLike(2000), Bytes{}, randomBytes(33000, 2), tallyLike(10)}) {
        lzrw1kh::compress(input, stored);
        QCOMPARE(qba(stored), qba(lzrw1kh::compress(std::span<const std::uint8_t>(input))));
        lzrw1kh::decompress(stored, plain);
        QCOMPARE(qba(plain), qba(input));
    }
}

void tst_Container::damaged_data()
{
    QTest::addColumn<Bytes>("stored");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* name, const Bytes& stored,
                        const char* message = kSizeMismatch) {
        QTest::newRow(name) << stored << QString(message);
    };
    // n run items of 4095 bytes each.
    const auto runs = [](int n) {
        return repeated(std::string_view("\x00\x0F\xEF\x41", 4), n * 4);
    };
    const Bytes fullRuns = concat(
        {bytesOf({0x40, 0xFF, 0x00}), runs(8), bytesOf({'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I'})});

    // The same faults inside a full group, followed by more groups.
    const auto padded = [](const Bytes& body) {
        Bytes all = body;
        for (int i = 0; i < 5; ++i)
            all = concat({all, bytesOf({0x00, 0x00}), Bytes(16, '.')});
        return all;
    };
    row("copy before the block start, full group",
        concat({header(200), block(padded(concat({bytesOf({0x40, 0x00, 0x01}), Bytes(15, 'a'),
                                                  bytesOf({0x01, 0x00})})))}));
    row("runs past 32768, full group",
        concat({header(40000), block(padded(concat({bytesOf({0x40, 0xFF, 0xFF}), runs(16)})))}));
    // Runs bring the block near its end; the copies after them in the same group
    // would make 32904 bytes, exactly what the size field claims.
    row("copies past 32768 after runs, full group",
        concat({header(32760 + 8 * 18),
                block(padded(concat({bytesOf({0x40, 0xFF, 0xFF}), runs(8),
                                     repeated(std::string_view("\x00\x1F", 2), 8 * 2)})))}));
    row("literals past 32768, full group", concat({header(40000), block(padded(fullRuns))}));
    row("no size field", bytesOf({'W', 'R', 'Z', 'L', 1, 0}), kReadError);
    row("no block", header(0), kReadError);
    row("half a block length", concat({header(0), bytesOf({1})}), kReadError);
    row("block cut short", concat({header(5), bytesOf({6, 0, 0x80, 'a', 'b'})}), kReadError);
    row("full chunk, then nothing", concat({header(32768), block(fullRuns)}), kReadError);
    row("block length 32770",
        concat({header(32769), block(concat({bytesOf({0x80}), Bytes(32769, 'x')}))}));
    row("copy before the block start",
        concat({header(4), block(bytesOf({0x40, 0x40, 0x00, 'a', 0x00, 0x20}))}));
    row("copy reaching into the previous block",
        concat({header(32769), block(concat({bytesOf({0x80}), Bytes(32768, 'p')})),
                block(bytesOf({0x40, 0x80, 0x00, 0x00, 0x10}))}));
    row("runs past 32768",
        concat({header(40000), block(concat({bytesOf({0x40, 0xFF, 0x80}), runs(9)}))}));
    row("literal past 32768",
        concat({header(40000), block(concat({fullRuns, bytesOf({0x00, 0x00, 'J'})}))}));
    row("run item cut", concat({header(100), block(bytesOf({0x40, 0x80, 0x00, 0x00, 0x00}))}));
    row("copy item cut", concat({header(100), block(bytesOf({0x40, 0x40, 0x00, 'a', 0x00}))}));
    row("control word cut",
        concat({header(16),
                block(concat({bytesOf({0x40, 0x00, 0x00}), Bytes(16, 'k'), bytesOf({0x00})}))}));
    row("size field too big", concat({header(5), block(bytesOf({0x80, 'a', 'b'}))}));
    row("size field too small", concat({header(1), block(bytesOf({0x80, 'a', 'b'}))}));
    row("size field 4 GiB", concat({header(0xFFFFFFFF), block(bytesOf({0x80, 'a'}))}));
    row("other tag", concat({bytesOf({'W', 'R', 'Z', 'X', 0, 0, 0, 0}), block(bytesOf({0x80}))}),
        " : Lzrw1 decompression : this file has no valid header !");
    row("too short for a tag", bytesOf({'W', 'R'}), kReadError);
}

void tst_Container::damaged()
{
    QFETCH(Bytes, stored);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { lzrw1kh::decompress(stored); }), message);
    Bytes out(1 << 17);
    QCOMPARE(errorOf([&] { lzrw1kh::decompress(stored, std::span<std::uint8_t>(out)); }), message);
}

// Whatever is cut off or flipped, decoding ends in a result or an Error.
void tst_Container::everyTruncationAndFlip()
{
    const Bytes original =
        lzrw1kh::compress(concat({text(3000, 1), mixed(2000, 2), tallyLike(500)}));
    for (std::size_t cut = 0; cut < original.size(); ++cut) {
        const Bytes shorter(original.begin(), original.begin() + long(cut));
        QVERIFY(!errorOf([&] { lzrw1kh::decompress(shorter); }).isEmpty());
    }
    std::mt19937 rng(42);
    for (std::size_t at = 8; at < original.size(); ++at) {
        Bytes damaged = original;
        damaged[at] ^= static_cast<std::uint8_t>(1 + rng() % 255);
        try {
            lzrw1kh::decompress(damaged);
        } catch (const lzrw1kh::Error&) {
        }
    }
}

void tst_Container::fileRefused_data()
{
    QTest::addColumn<Bytes>("stored");
    QTest::addColumn<QString>("message"); // %1 stands for the input file's name
    QTest::newRow("plain text") << bytesOf(QByteArray("9\r\n2\r\n0\r\nMarta\r\n"))
                                << "%1 : Lzrw1 decompression : this file has no valid header !";
    QTest::newRow("empty file") << Bytes{} << QString(kReadError) + "%1";
    QTest::newRow("damaged block")
        << concat({header(4), block(bytesOf({0x40, 0x40, 0x00, 'a', 0x00, 0x20}))})
        << QString(kSizeMismatch);
    QTest::newRow("LZH method") << concat({bytesOf({'!', 'H', 'Z', 'L', 5, 0, 0, 0}), Bytes(10, 0)})
                                << "%1 : Lzrw1 decompression : the LZH method is not supported !";
}

// Refusals name the file they came from.
void tst_Container::fileRefused()
{
    QFETCH(Bytes, stored);
    QFETCH(QString, message);
    QCOMPARE(errorOf([&] { lzrw1kh::decompress(stored, "tally.dat"); }),
             QString(message).replace("%1", "tally.dat"));
}

QTEST_GUILESS_MAIN(tst_Container)
#include "tst_container.moc"
