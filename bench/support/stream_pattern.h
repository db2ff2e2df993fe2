// The numbered byte stream that the benchmarks flood a cable with: 16-byte records, each
// "#" + its own offset in the stream as ten decimal digits + "." + four letters. Printable, free
// of zero bytes, and such that any 27 consecutive bytes of it tell how far into the stream they
// lie, which is how the position of a program's reader is read off its log box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

inline constexpr std::size_t kStreamRecordBytes = 16;

// Writes bytes [offset, offset + size) of the stream to `out`.
void FillStream(std::uint64_t offset, char* out, std::size_t size);

// The log box of a capture program shows its received text with a line break after each tick's
// data. From the data of the last tick, finds how many bytes of the stream the reader had taken
// by that tick. False when that data holds no whole record number (too little came, or the
// buffer had just been cleared).
bool StreamPositionShown(const std::wstring& logText, std::uint64_t& position);

} // namespace bench
