#pragma once

// The stored tally file container: the "WRZL" tag, the uncompressed size and a
// chain of LZRW1/KH blocks, each coding at most 32768 bytes. Plain C++ so the
// codec, its tests, the fuzz target and the benchmark need no Qt.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lzrw1kh {

// Every failure of the codec and of the file layer; what() is the text shown to
// the player, so it keeps the wording older copies of the program used.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::size_t kChunkSize = 32768;

// Largest stored file compress() can produce for an input of this size, plus the
// few bytes of scratch the coder may touch past the end while trying a block.
std::size_t compressBound(std::size_t inputSize);

// Writes the whole stored file into `out` (out.size() >= compressBound) and
// returns its length. Allocates nothing.
std::size_t compress(std::span<const std::uint8_t> input, std::span<std::uint8_t> out);
// Same, into a vector whose capacity is reused from call to call.
void compress(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out);
std::vector<std::uint8_t> compress(std::span<const std::uint8_t> input);

// The uncompressed size a stored file claims (it may lie; decompress checks it).
// Throws Error when the header is missing or not "WRZL".
std::uint32_t storedSize(std::span<const std::uint8_t> stored, std::string_view sourceName = {});

// Decodes a stored file into `out` and returns the decoded length. `out` must hold
// at least storedSize() bytes; bytes past the returned length may be overwritten.
// Allocates nothing. `sourceName` only goes into error messages.
std::size_t decompress(std::span<const std::uint8_t> stored, std::span<std::uint8_t> out,
                       std::string_view sourceName = {});
// Same, into a vector whose capacity is reused from call to call.
void decompress(std::span<const std::uint8_t> stored, std::vector<std::uint8_t>& out,
                std::string_view sourceName = {});
std::vector<std::uint8_t> decompress(std::span<const std::uint8_t> stored,
                                     std::string_view sourceName = {});

} // namespace lzrw1kh
