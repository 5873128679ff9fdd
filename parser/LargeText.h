// A text too large for the code field (a file, a drop or a paste over MaxReadingBytes)
// is never put into it: the finder goes through it a piece at a time and lists the
// codes it meets, and choosing one puts that code alone into the field. What the window
// and the page say about it meanwhile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Finder.h"
#include "TextFiles.h"

namespace zendric {

// A text of `size` bytes (a file) or UTF-16 units (a paste) goes to the finder.
inline bool TooLargeForField(std::uintmax_t size) { return size > MaxReadingBytes; }

// The bytes of `units` as UTF-8, a lone surrogate as U+FFFD.
std::uintmax_t Utf8BytesOf(std::u16string_view units);
// "12.3 MB": mebibytes to one decimal, halves rounded up.
std::string MegabytesOf(double bytes);
// "a Zendric 2 code", "12,345 Zendric 2 codes".
std::string CountOfCodes(std::size_t count);

// `what` names the text: "file NAME", "pasted text", "dropped text".
std::string LargeTextNote(std::string_view what);
std::string LookingHeading(std::uintmax_t bytes);
std::string LookingHeading(std::uintmax_t bytes, std::size_t found);
// When the text is all read: `firstLine` is the line of the first code, if any.
std::string FoundHeading(std::uintmax_t bytes, std::size_t found, std::int32_t firstLine);
// When the person stopped it after `done` of `size` (bytes or units, as read).
std::string StoppedHeading(std::uintmax_t bytes, std::uintmax_t done, std::uintmax_t size, std::size_t found);
std::string TakenNote(std::string_view what, std::uintmax_t bytes, std::int32_t line);

// The finder over such a text, every code kept: fed a file's bytes, or the UTF-16
// units of a pasted text, where a pair cut between two pieces stays one character.
class LargeTextFinder {
 public:
  LargeTextFinder();
  LargeTextFinder(const LargeTextFinder&) = delete;
  LargeTextFinder& operator=(const LargeTextFinder&) = delete;

  void FeedBytes(std::string_view bytes);
  void FeedUnits(std::u16string_view units);
  void Finish();
  const std::vector<FoundCode>& Found() const { return found_; }

 private:
  std::vector<FoundCode> found_;
  CodeFinder finder_;
  char16_t heldSurrogate_ = 0;
};

}  // namespace zendric
