#include "tally/lzrw1kh.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lzrw1kh {

namespace {

constexpr std::uint8_t kTagWrzl[4] = {'W', 'R', 'Z', 'L'};
constexpr std::uint8_t kTagLzh[4] = {'!', 'H', 'Z', 'L'};
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kMaxBlock = kChunkSize + 1;
constexpr std::uint8_t kFlagCompressed = 0x40;
constexpr std::uint8_t kFlagStored = 0x80;
constexpr std::size_t kHashSize = 4096;
constexpr std::size_t kMaxDistance = 4095;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kMinRun = 16;
constexpr std::size_t kMaxRun = 4095;
constexpr std::size_t kItemsPerGroup = 16;
// A block attempt may run past its final length by a control word and a group of
// run items before the coder notices it no longer shrinks the chunk.
constexpr std::size_t kCoderSlack = 2 + 4 * 16 + 8;
// Largest output of one coded byte: a 4-byte run item of at most 4111 bytes.
constexpr std::uint64_t kMaxExpansion = 1028;
// Room the decoder's wide copies may write past the current item.
constexpr std::size_t kWideCopy = 18;
// Slack behind a decoded file so the wide copies keep to their fast path.
constexpr std::size_t kDecodeSlack = 32;

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

const char kMsgRead[] = "Lzrw1 : Error reading from input file : ";
const char kMsgNoHeader[] = " : Lzrw1 decompression : this file has no valid header !";
const char kMsgSizes[] =
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
const char kMsgMemory[] = "Lzrw1 (de)compression : Failed to get memory for I/O buffers !";

[[noreturn]] void fail(std::string message)
{
    throw Error(std::move(message));
}

[[noreturn]] void failTruncated(std::string_view name)
{
    fail(std::string(kMsgRead) + std::string(name));
}

// Damaged block contents end in the same report as a wrong size: both mean the
// blocks do not add up to the file that was stored.
[[noreturn]] void failDamaged()
{
    fail(kMsgSizes);
}

inline std::uint64_t load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Number of leading bytes a[i] == b[i], at most limit. The ranges may overlap.
inline std::size_t commonLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit)
{
    std::size_t n = 0;
    if constexpr (kLittleEndian) {
        while (n + 8 <= limit) {
            const std::uint64_t diff = load64(a + n) ^ load64(b + n);
            if (diff != 0)
                return n + static_cast<std::size_t>(std::countr_zero(diff) >> 3);
            n += 8;
        }
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

inline void putBigEndian16(std::uint8_t* p, unsigned v)
{
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

inline unsigned hashOf(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2)
{
    const unsigned key = (unsigned{b0} << 8) ^ (unsigned{b1} << 4) ^ unsigned { b2 };
    return ((key * 40543u) >> 4) & (kHashSize - 1);
}

// Table slots for the strings starting at in[from, to), to + 2 <= n. Worked out
// ahead in bulk, off the coder's critical path: there each lookup waits on the
// previous item's match length, and hashing on top of it made the chain longer.
// The key fits 16 bits and the slot is bits 4 to 15 of its product, so 16-bit
// lanes give the same slots.
void hashAhead(const std::uint8_t* in, [[maybe_unused]] std::size_t n, std::size_t from,
               std::size_t to, std::uint16_t* slots)
{
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i factor = _mm_set1_epi16(static_cast<short>(40543 - 65536));
    for (; i + 8 <= to && i + 16 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i b0 = _mm_unpacklo_epi8(v, zero);
        const __m128i b1 = _mm_unpacklo_epi8(_mm_srli_si128(v, 1), zero);
        const __m128i b2 = _mm_unpacklo_epi8(_mm_srli_si128(v, 2), zero);
        const __m128i key =
            _mm_xor_si128(_mm_xor_si128(_mm_slli_epi16(b0, 8), _mm_slli_epi16(b1, 4)), b2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(slots + (i - from)),
                         _mm_srli_epi16(_mm_mullo_epi16(key, factor), 4));
    }
#endif
    for (; i < to; ++i)
        slots[i - from] = static_cast<std::uint16_t>(hashOf(in[i], in[i + 1], in[i + 2]));
}

// Codes one chunk as a block (flag byte first) at dst, which has room for
// n + 1 + kCoderSlack bytes. Returns the block length. The table holds, per hash,
// the position last seen plus 4096, so the all-zero reset reads as "too far back"
// and one comparison covers both "none" and "out of reach".
std::size_t codeChunk(const std::uint8_t* in, std::size_t n, std::uint8_t* dst,
                      std::uint16_t* table)
{
    std::memset(table, 0, kHashSize * sizeof *table);
    std::uint8_t* ctrlAt = dst + 1;
    std::uint8_t* op = dst + 3;
    std::uint8_t* const opLimit = dst + n;
    unsigned ctrl = 0;
    unsigned items = 0;
    std::size_t p = 0;
    // Slots of the strings at [slotsFrom, slotsTo), worked out kAhead at a time.
    constexpr std::size_t kAhead = 1024;
    std::uint16_t slots[kAhead];
    std::size_t slotsFrom = 0;
    std::size_t slotsTo = 0;

    // Whether the coding has grown past the chunk is asked once a group: output
    // only grows, so asking later changes nothing but the scratch it may write.
    while (p < n && op <= opLimit) {
        if (items == kItemsPerGroup) {
            putBigEndian16(ctrlAt, ctrl);
            ctrlAt = op;
            op += 2;
            items = 0;
        }
        for (; items < kItemsPerGroup && p < n; ++items) {
            ctrl <<= 1;
            const std::size_t left = n - p;
            const std::uint8_t c = in[p];

            if (left >= kMinRun && in[p + 1] == c) {
                const std::size_t run =
                    1 + commonLength(in + p, in + p + 1, std::min(kMaxRun, left) - 1);
                if (run >= kMinRun) {
                    const std::size_t stored = run - kMinRun;
                    op[0] = 0;
                    op[1] = static_cast<std::uint8_t>(stored >> 8);
                    op[2] = static_cast<std::uint8_t>(stored);
                    op[3] = c;
                    op += 4;
                    p += run;
                    ctrl |= 1;
                    continue;
                }
            }

            // Fewer than three bytes left can never make a copy, so their hash is skipped.
            if (left >= kMinMatch) {
                if (p >= slotsTo) {
                    slotsFrom = p;
                    slotsTo = std::min(p + kAhead, n - 2);
                    hashAhead(in, n, slotsFrom, slotsTo, slots);
                }
                const unsigned h = slots[p - slotsFrom];
                const std::size_t distance = p + kHashSize - table[h];
                table[h] = static_cast<std::uint16_t>(p + kHashSize);
                if (distance <= kMaxDistance) {
                    const std::size_t len =
                        commonLength(in + p - distance, in + p, std::min(kMaxMatch, left));
                    if (len >= kMinMatch) {
                        op[0] = static_cast<std::uint8_t>(distance >> 4);
                        op[1] = static_cast<std::uint8_t>((distance << 4) | (len - kMinMatch));
                        op += 2;
                        p += len;
                        ctrl |= 1;
                        continue;
                    }
                }
            }

            *op++ = c;
            ++p;
        }
    }
    putBigEndian16(ctrlAt, ctrl << (kItemsPerGroup - items));

    const auto coded = static_cast<std::size_t>(op - dst);
    if (coded > n) {
        dst[0] = kFlagStored;
        if (n != 0)
            std::memcpy(dst + 1, in, n);
        return n + 1;
    }
    dst[0] = kFlagCompressed;
    return coded;
}

// Copies len bytes from dist bytes back, with the byte-by-byte meaning when the
// two overlap; needs kWideCopy bytes of room at op. Only the 8-byte pieces the
// copy needs are moved: scratch bytes stored past its end would soon be loaded
// again by the next items as part of a wider load, and such partial overlaps
// stall store forwarding, which costs more than the branches.
inline void copyWide(std::uint8_t* op, std::size_t dist, std::size_t len)
{
    const std::uint8_t* src = op - dist;
    if (dist >= 8) {
        std::memcpy(op, src, 8);
        if (len > 8) {
            std::memcpy(op + 8, src + 8, 8);
            if (len > 16) {
                op[16] = src[16];
                op[17] = src[17];
            }
        }
        return;
    }
    for (std::size_t i = 0; i < len; ++i)
        op[i] = src[i];
}

inline void copyNarrow(std::uint8_t* op, std::size_t dist, std::size_t len)
{
    const std::uint8_t* src = op - dist;
    for (std::size_t i = 0; i < len; ++i)
        op[i] = src[i];
}

// Control bits sit on top of a 32-bit word with a stop bit after the 16th, so
// the word equals kGroupDone once every item of the group is taken.
constexpr std::uint32_t kGroupDone = 0x80000000u;
// What a group needs for the unchecked pass: its 16 largest items plus a 16-byte
// literal copy of input, and 16 copies of 18 bytes plus the same of output.
constexpr std::size_t kGroupInput = 4 * kItemsPerGroup + 16;
constexpr std::size_t kGroupOutput = kItemsPerGroup * kMaxMatch;
constexpr std::size_t kGroupOutputRoom = kGroupOutput + 16;

struct BlockCursor {
    const std::uint8_t* ip;
    const std::uint8_t* const ipEnd;
    std::uint8_t* op;
    std::uint8_t* const out;
    std::uint8_t* const opEnd;
    const std::uint8_t* const physEnd;

    bool roomForUncheckedGroup() const
    {
        return static_cast<std::size_t>(ipEnd - ip) >= kGroupInput &&
               static_cast<std::size_t>(opEnd - op) >= kGroupOutput &&
               static_cast<std::size_t>(physEnd - op) >= kGroupOutputRoom;
    }
};

// Decodes the items of one group. Unchecked, it relies on roomForUncheckedGroup()
// and only checks what no room can cover: copy distances and run lengths; it
// returns false after a run that used up the room, leaving the rest of the group
// to the checked pass. Checked, the items also stop where the block ends.
template <bool Checked> bool decodeItems(BlockCursor& c, std::uint32_t& bits)
{
    const std::uint8_t* ip = c.ip;
    std::uint8_t* op = c.op;
    bool groupDone = true;
    for (;;) {
        if ((bits & 0x80000000u) == 0) {
            // A run of literals up to the next copy, in one piece.
            auto literals = static_cast<std::size_t>(std::countl_zero(bits));
            if constexpr (Checked) {
                literals = std::min(literals, static_cast<std::size_t>(c.ipEnd - ip));
                if (literals > static_cast<std::size_t>(c.opEnd - op))
                    failDamaged();
                if (c.ipEnd - ip >= 16 && c.physEnd - op >= 16)
                    std::memcpy(op, ip, 16);
                else
                    std::memcpy(op, ip, literals);
            } else {
                std::memcpy(op, ip, 16);
            }
            op += literals;
            ip += literals;
            bits <<= literals;
        }
        if (bits == kGroupDone)
            break;
        if constexpr (Checked) {
            if (ip == c.ipEnd)
                break;
            if (c.ipEnd - ip < 2)
                failDamaged();
        }
        bits <<= 1;

        const unsigned b1 = ip[1];
        const std::size_t dist = (std::size_t{ip[0]} << 4) | (b1 >> 4);
        if (dist != 0) {
            const std::size_t len = (b1 & 0x0F) + kMinMatch;
            ip += 2;
            if (dist > static_cast<std::size_t>(op - c.out))
                failDamaged();
            if constexpr (Checked) {
                if (len > static_cast<std::size_t>(c.opEnd - op))
                    failDamaged();
                if (c.physEnd - op >= static_cast<std::ptrdiff_t>(kWideCopy))
                    copyWide(op, dist, len);
                else
                    copyNarrow(op, dist, len);
            } else {
                copyWide(op, dist, len);
            }
            op += len;
        } else {
            if constexpr (Checked) {
                if (c.ipEnd - ip < 4)
                    failDamaged();
            }
            const std::size_t len = ((std::size_t{b1} << 8) | ip[2]) + kMinRun;
            const std::uint8_t value = ip[3];
            ip += 4;
            if (len > static_cast<std::size_t>(c.opEnd - op))
                failDamaged();
            std::memset(op, value, len);
            op += len;
            if constexpr (!Checked) {
                if (static_cast<std::size_t>(c.opEnd - op) < kGroupOutput ||
                    static_cast<std::size_t>(c.physEnd - op) < kGroupOutputRoom) {
                    groupDone = bits == kGroupDone;
                    break;
                }
            }
        }
    }
    c.ip = ip;
    c.op = op;
    return groupDone;
}

// Decodes one coded block into out[0, limit). `physEnd` is the end of the
// caller's buffer: wide copies may scribble up to there. Every read and write is
// checked, so a hostile block can only end in Error.
std::size_t decodeBlock(const std::uint8_t* ip, std::size_t blockLength, std::uint8_t* const out,
                        std::size_t limit, const std::uint8_t* const physEnd)
{
    if (blockLength < 2)
        return 0;
    const std::uint8_t* const ipEnd = ip + blockLength;
    if (*ip++ == kFlagStored) {
        const std::size_t n = blockLength - 1;
        if (n > limit)
            failDamaged();
        std::memcpy(out, ip, n);
        return n;
    }

    BlockCursor c{ip, ipEnd, out, out, out + limit, physEnd};
    while (c.ip < c.ipEnd) {
        if (c.ipEnd - c.ip < 2)
            failDamaged();
        std::uint32_t bits =
            (std::uint32_t{c.ip[0]} << 24) | (std::uint32_t{c.ip[1]} << 16) | 0x8000u;
        c.ip += 2;
        if (!(c.roomForUncheckedGroup() && decodeItems<false>(c, bits)))
            decodeItems<true>(c, bits);
    }
    return static_cast<std::size_t>(c.op - out);
}

std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

// How much room decoding needs: the claimed size, but never more than the blocks
// could possibly produce, so a lying size field cannot make us allocate gigabytes.
std::size_t decodeCapacity(std::span<const std::uint8_t> stored, std::string_view name)
{
    const std::uint64_t claimed = storedSize(stored, name);
    const std::uint64_t possible = (stored.size() - kHeaderSize) * kMaxExpansion;
    return static_cast<std::size_t>(std::min(claimed, possible));
}

} // namespace

std::size_t compressBound(std::size_t inputSize)
{
    const std::size_t blocks = inputSize / kChunkSize + 1;
    return kHeaderSize + blocks * 3 + inputSize + kCoderSlack;
}

std::size_t compress(std::span<const std::uint8_t> input, std::span<std::uint8_t> out)
{
    if (input.size() > std::numeric_limits<std::uint32_t>::max())
        fail("Lzrw1 (de)compression : input larger than 4 GiB cannot be stored");
    if (out.size() < compressBound(input.size()))
        throw std::invalid_argument(
            "lzrw1kh::compress: output buffer smaller than compressBound()");

    std::uint8_t* o = out.data();
    std::memcpy(o, kTagWrzl, 4);
    const auto size = static_cast<std::uint32_t>(input.size());
    for (int i = 0; i < 4; ++i)
        o[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    o += kHeaderSize;

    std::uint16_t table[kHashSize];
    std::size_t pos = 0;
    for (;;) {
        const std::size_t n = std::min(kChunkSize, input.size() - pos);
        const std::size_t blockLength = codeChunk(input.data() + pos, n, o + 2, table);
        o[0] = static_cast<std::uint8_t>(blockLength);
        o[1] = static_cast<std::uint8_t>(blockLength >> 8);
        o += 2 + blockLength;
        pos += n;
        // A full chunk is always followed by another block, empty if need be, so
        // the reader knows where the file ends.
        if (n < kChunkSize)
            break;
    }
    return static_cast<std::size_t>(o - out.data());
}

void compress(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out)
{
    out.resize(compressBound(input.size()));
    out.resize(compress(input, std::span<std::uint8_t>(out)));
}

std::vector<std::uint8_t> compress(std::span<const std::uint8_t> input)
{
    std::vector<std::uint8_t> out;
    compress(input, out);
    return out;
}

std::uint32_t storedSize(std::span<const std::uint8_t> stored, std::string_view sourceName)
{
    if (stored.size() < 4)
        failTruncated(sourceName);
    if (std::memcmp(stored.data(), kTagWrzl, 4) != 0) {
        if (std::memcmp(stored.data(), kTagLzh, 4) == 0)
            fail(std::string(sourceName) +
                 " : Lzrw1 decompression : the LZH method is not supported !");
        fail(std::string(sourceName) + kMsgNoHeader);
    }
    if (stored.size() < kHeaderSize)
        failTruncated(sourceName);
    return readLe32(stored.data() + 4);
}

std::size_t decompress(std::span<const std::uint8_t> stored, std::span<std::uint8_t> out,
                       std::string_view sourceName)
{
    const std::uint32_t claimed = storedSize(stored, sourceName);
    const std::size_t capacity = std::min<std::size_t>(claimed, out.size());
    const std::uint8_t* ip = stored.data() + kHeaderSize;
    const std::uint8_t* const ipEnd = stored.data() + stored.size();
    const std::uint8_t* const physEnd = out.data() + out.size();
    std::size_t written = 0;
    std::size_t decoded = 0;
    do {
        if (ipEnd - ip < 2)
            failTruncated(sourceName);
        const std::size_t blockLength = std::size_t{ip[0]} | (std::size_t{ip[1]} << 8);
        ip += 2;
        if (blockLength > kMaxBlock)
            failDamaged();
        if (static_cast<std::size_t>(ipEnd - ip) < blockLength)
            failTruncated(sourceName);
        // Output past the claimed size can only end in the size error, so stop early.
        const std::size_t limit = std::min(kChunkSize, capacity - written);
        decoded = decodeBlock(ip, blockLength, out.data() + written, limit, physEnd);
        ip += blockLength;
        written += decoded;
    } while (decoded == kChunkSize);
    if (written != claimed)
        failDamaged();
    return written;
}

void decompress(std::span<const std::uint8_t> stored, std::vector<std::uint8_t>& out,
                std::string_view sourceName)
{
    const std::size_t capacity = decodeCapacity(stored, sourceName);
    try {
        out.resize(capacity + kDecodeSlack);
    } catch (const std::bad_alloc&) {
        fail(kMsgMemory);
    }
    // When the claimed size is beyond what the blocks could produce, the buffer is
    // short of it and decoding ends in the size error, as it must.
    const std::size_t n = decompress(stored, std::span<std::uint8_t>(out), sourceName);
    out.resize(n);
}

std::vector<std::uint8_t> decompress(std::span<const std::uint8_t> stored,
                                     std::string_view sourceName)
{
    std::vector<std::uint8_t> out;
    decompress(stored, out, sourceName);
    return out;
}

} // namespace lzrw1kh
