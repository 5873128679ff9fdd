#include "TextFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

namespace zendric {

namespace {

// Megabytes with one decimal below ten, as people read sizes.
std::string Megabytes(std::uintmax_t bytes) {
  const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  char text[32];
  const bool whole = bytes % (std::uintmax_t{1} << 20) == 0;
  std::snprintf(text, sizeof text, whole || mb >= 9.95 ? "%.0f MB" : "%.1f MB", mb);
  return text;
}

}  // namespace

std::string WhyNotReadable(const std::string& path, FileUse use) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);  // through symbolic links
  if (status.type() == fs::file_type::not_found) return "no such file";
  if (error) return error.message();
  if (status.type() == fs::file_type::directory) return "is a folder";
  if (use == FileUse::Stream) return {};
  if (status.type() != fs::file_type::regular) return "not a regular file";
  const std::uintmax_t size = fs::file_size(path, error);
  if (!error && size > MaxWholeFileBytes)
    return "too large (" + Megabytes(size) + "; files of up to " + Megabytes(MaxWholeFileBytes) + " are read)";
  return {};
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& why) {
  why = WhyNotReadable(path, FileUse::Whole);
  if (!why.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    why = std::strerror(errno);
    return false;
  }
  bytes.clear();
  try {
    // What the file holds, not what it claims: files under /proc say 0 bytes.
    constexpr std::size_t Piece = std::size_t{1} << 16;
    for (;;) {
      const std::size_t had = bytes.size();
      if (had > MaxWholeFileBytes) break;
      bytes.resize(had + Piece);
      const std::size_t n = std::fread(bytes.data() + had, 1, Piece, file);
      bytes.resize(had + n);
      if (n < Piece) break;
    }
    if (std::ferror(file)) why = std::strerror(errno);
    else if (bytes.size() > MaxWholeFileBytes) why = "too large (files of up to " + Megabytes(MaxWholeFileBytes) + " are read)";
  } catch (const std::bad_alloc&) {
    why = "too large for the memory there is";
  }
  std::fclose(file);
  if (why.empty()) return true;
  std::string().swap(bytes);
  return false;
}

bool TooLargeToRead(std::size_t bytes) { return bytes > MaxReadingBytes; }

std::string TooLargeToReadMessage(std::size_t bytes) {
  return "This text is too large to read here (" + Megabytes(bytes) + "); the reader takes up to " +
         Megabytes(MaxReadingBytes);
}

}  // namespace zendric
