// Texts as files hold them: each encoding and its mark, ill-formed parts, and every
// text again in pieces split at every byte, which must decode as the whole does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "TextEncoding.h"
#include "TextFiles.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using namespace std::string_view_literals;

struct DecodeCase {
  std::string_view name;
  std::string_view bytes;
  std::string_view text;
};

const DecodeCase Cases[] = {
    {"plain UTF-8", "ZN2.Dw Gm", "ZN2.Dw Gm"},
    {"empty", "", ""},
    {"UTF-8 mark", "\xEF\xBB\xBFZN2.Dw", "ZN2.Dw"},
    {"UTF-8 mark alone", "\xEF\xBB\xBF", ""},
    {"the start of a UTF-8 mark", "\xEF\xBB", "\xEF\xBF\xBD"},
    {"a mark later is text", "Z\xEF\xBB\xBF", "Z\xEF\xBB\xBF"},
    {"UTF-16LE", "\xFF\xFEZ\0N\0" "2\0.\0"sv, "ZN2."},
    {"UTF-16BE", "\xFE\xFF\0Z\0N\0" "2\0."sv, "ZN2."},
    {"UTF-16LE mark alone", "\xFF\xFE", ""},
    {"UTF-16LE beyond U+FFFF", "\xFF\xFE\x3D\xD8\x09\xDC"sv, "\xF0\x9F\x90\x89"},
    {"UTF-16BE e acute and a line break", "\xFE\xFF\0\xE9\0\n"sv, "\xC3\xA9\n"},
    {"UTF-16 lone low surrogate", "\xFF\xFE\x09\xDC" "A\0"sv, "\xEF\xBF\xBD" "A"},
    {"UTF-16 high surrogate before a letter", "\xFF\xFE\x3D\xD8" "A\0"sv, "\xEF\xBF\xBD" "A"},
    {"UTF-16 high surrogate at the end", "\xFF\xFE" "A\0\x3D\xD8"sv, "A\xEF\xBF\xBD"},
    {"UTF-16 odd byte at the end", "\xFF\xFE" "A\0B"sv, "A\xEF\xBF\xBD"},
    {"UTF-16 surrogate and odd byte", "\xFF\xFE\x3D\xD8" "B"sv, "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"UTF-16 without a mark is read as UTF-8", "Z\0N\0"sv, "Z\0N\0"sv},
    {"ill-formed UTF-8: truncated, overlong, surrogate", "a\xE2\x82 \xC0\xAF \xED\xA0\x80 \xF4\x90",
     "a\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD"},
    {"a lone FF is not a mark", "\xFFZN2.", "\xEF\xBF\xBDZN2."},
    {"FE then text", "\xFEZ", "\xEF\xBF\xBDZ"},
};

std::string InPieces(std::string_view bytes, std::size_t size) {
  std::string out;
  TextDecoder decoder;
  for (std::size_t at = 0; at < bytes.size(); at += size) decoder.Feed(bytes.substr(at, size), out);
  decoder.Finish(out);
  return out;
}

TEST(TextEncoding, DecodesWholeAndInPieces) {
  for (const DecodeCase& c : Cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeText(c.bytes), c.text);
    for (std::size_t size = 1; size <= 7; ++size) EXPECT_EQ(InPieces(c.bytes, size), c.text) << "pieces of " << size;
  }
}

// UTF-8 without a mark must read exactly as the interpreter reads it, however split.
TEST(TextEncoding, Utf8AsTheInterpreterReadsIt) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', ' ', '\n', '\x80', '\xBF', '\xC2', '\xC3', '\xE0', '\xE2', '\xED',
                           '\xEF', '\xF0', '\xF4', '\xF5', '\xFF', '\x82', '\xA0', '\x9F'};
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = "x";  // never a mark
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) bytes += alphabet[random() % sizeof alphabet];
    SCOPED_TRACE(testing::PrintToString(bytes));
    const std::string expected = ToValidUtf8(bytes);
    ASSERT_EQ(DecodeText(bytes), expected);
    ASSERT_EQ(InPieces(bytes, 1 + random() % 5), expected);
  }
}

// A decoder used again after Finish starts a new text, with its own mark.
TEST(TextEncoding, FinishStartsANewText) {
  TextDecoder decoder;
  std::string out;
  decoder.Feed("\xFF\xFE" "A\0"sv, out);
  decoder.Finish(out);
  decoder.Feed("\xEF\xBB\xBF" "B", out);
  decoder.Finish(out);
  EXPECT_EQ(out, "AB");
}

struct FileCase {
  std::string_view name;
  std::string path;
  std::string_view whole;   // why not, read whole; empty when it can be
  std::string_view stream;  // the same, read as a stream
};

TEST(TextFiles, WhatIsRead) {
  const std::filesystem::path dir = testing::TempDir() + "text-files-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  const std::string fifo = (dir / "fifo").string(), regular = (dir / "a.txt").string(),
                    huge = (dir / "huge").string(), link = (dir / "zero").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::FILE* file = std::fopen(regular.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("ZN2.Dw", file);
  std::fclose(file);
  {
    std::FILE* sparse = std::fopen(huge.c_str(), "wb");
    ASSERT_NE(sparse, nullptr);
    std::fclose(sparse);
    std::filesystem::resize_file(huge, MaxWholeFileBytes + 1);  // sparse: no disk taken
  }
  std::filesystem::create_symlink("/dev/zero", link);
  const FileCase cases[] = {
      {"regular file", regular, "", ""},
      {"FIFO", fifo, "not a regular file", ""},
      {"device", "/dev/zero", "not a regular file", ""},
      {"link to a device", link, "not a regular file", ""},
      {"folder", dir.string(), "is a folder", "is a folder"},
      {"missing", (dir / "none").string(), "no such file", "no such file"},
      {"over the limit", huge, "too large (256 MB; files of up to 256 MB are read)", ""},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WhyNotReadable(c.path, FileUse::Whole), c.whole);
    EXPECT_EQ(WhyNotReadable(c.path, FileUse::Stream), c.stream);
    std::string bytes, why;
    EXPECT_EQ(ReadWholeFile(c.path, bytes, why), c.whole.empty());
    EXPECT_EQ(why, c.whole);
    EXPECT_EQ(bytes, c.whole.empty() ? "ZN2.Dw" : "");
  }
  std::filesystem::remove_all(dir);
}

// Files that claim no size are read for what they hold.
TEST(TextFiles, ReadsWhatAFileHoldsNotWhatItClaims) {
  std::string bytes, why;
  ASSERT_TRUE(ReadWholeFile("/proc/self/status", bytes, why)) << why;
  EXPECT_NE(bytes.find("Name:"), std::string::npos);
}

TEST(TextFiles, TooLargeToRead) {
  EXPECT_FALSE(TooLargeToRead(MaxReadingBytes));
  EXPECT_TRUE(TooLargeToRead(MaxReadingBytes + 1));
  EXPECT_EQ(TooLargeToReadMessage(10 << 20), "This text is too large to read here (10 MB); the reader takes up to 4 MB");
  EXPECT_EQ(TooLargeToReadMessage(5 << 19), "This text is too large to read here (2.5 MB); the reader takes up to 4 MB");
}

}  // namespace
}  // namespace zendric
