// Which files the reader reads, and how much of a text it takes: one rule for the
// window, zendric-read and the page.
//
// - The window reads regular files only, checked before the file is opened: a FIFO
//   would stop it in open() until a writer came, and a device such as /dev/zero never
//   ends. It reads at most MaxWholeFileBytes, whatever size the file claims.
// - zendric-read --find takes a pipe or a device as well, as any filter does: it reads
//   a stream in pieces and keeps no more of it than a code can take. A folder is
//   refused by both.
// - A code is read only up to MaxReadingBytes: the reading of a code full of errors is
//   some eighty times its size, and must fit where the reader runs (the page has at
//   most 2 GB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zendric {

inline constexpr std::uintmax_t MaxWholeFileBytes = std::uintmax_t{256} << 20;
inline constexpr std::size_t MaxReadingBytes = std::size_t{4} << 20;

enum class FileUse {
  Whole,   // read at once into memory, by a program that must not block
  Stream,  // read in pieces, by a filter
};

// Why `path` cannot be read for `use` ("no such file", "is a folder", "not a regular
// file", "too large ..."), found without opening it; empty when it can be read.
std::string WhyNotReadable(const std::string& path, FileUse use);

// The bytes of the regular file `path`, at most MaxWholeFileBytes; false with `why`
// set when the file may not or cannot be read, or does not fit in memory.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& why);

// A text of `bytes` is too large to read (or nothing) and what to say about it: "This
// text is too large to read here (N MB); the reader takes up to M MB".
bool TooLargeToRead(std::size_t bytes);
std::string TooLargeToReadMessage(std::size_t bytes);

}  // namespace zendric
