// libFuzzer target: the decoder must survive any bytes, and whatever it accepts
// or whatever the coder writes must come back unchanged.
#include "tally/lzrw1kh.h"

#include <algorithm>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);

    // As a stored file: either an Error or a result that survives another round.
    try {
        const std::vector<std::uint8_t> plain = lzrw1kh::decompress(bytes);
        if (lzrw1kh::decompress(lzrw1kh::compress(plain)) != plain)
            std::abort();
    } catch (const lzrw1kh::Error&) {
    }

    // As plain data: the coder must write something the decoder gives back.
    const std::vector<std::uint8_t> stored = lzrw1kh::compress(bytes);
    if (stored.size() > lzrw1kh::compressBound(size))
        std::abort();
    const std::vector<std::uint8_t> back = lzrw1kh::decompress(stored);
    if (back.size() != size || !std::equal(back.begin(), back.end(), data))
        std::abort();
    return 0;
}
