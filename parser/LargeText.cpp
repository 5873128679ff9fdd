#include "LargeText.h"

#include <algorithm>
#include <cmath>

#include "FieldModel.h"

namespace zendric {
namespace {

std::string Grouped(std::uintmax_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string OfText(std::uintmax_t bytes) { return MegabytesOf(static_cast<double>(bytes)) + " of text"; }

}  // namespace

std::uintmax_t Utf8BytesOf(std::u16string_view units) {
  std::uintmax_t bytes = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    const bool pair = u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
    bytes += pair ? 4 : u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
    i += pair;
  }
  return bytes;
}

std::string MegabytesOf(double bytes) {
  const auto tenths = static_cast<std::uintmax_t>(std::floor(std::max(bytes, 0.0) * 10 / (1024.0 * 1024.0) + 0.5));
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

std::string CountOfCodes(std::size_t count) {
  return count == 1 ? "a Zendric 2 code" : Grouped(count) + " Zendric 2 codes";
}

std::string LargeTextNote(std::string_view what) {
  return "The " + std::string(what) + " is too large for the code field (over " +
         MegabytesOf(static_cast<double>(MaxReadingBytes)) + "): choose a code to read it alone.";
}

std::string LookingHeading(std::uintmax_t bytes) { return "Looking for Zendric 2 codes in " + OfText(bytes); }

std::string LookingHeading(std::uintmax_t bytes, std::size_t found) {
  return LookingHeading(bytes) + ": " + Grouped(found) + " found so far";
}

std::string FoundHeading(std::uintmax_t bytes, std::size_t found, std::int32_t firstLine) {
  if (found == 0) return "No Zendric 2 code in " + OfText(bytes);
  if (found == 1) return "Found a Zendric 2 code on line " + std::to_string(firstLine) + " of " + OfText(bytes);
  return "Found " + CountOfCodes(found) + " in " + OfText(bytes);
}

std::string StoppedHeading(std::uintmax_t bytes, std::uintmax_t done, std::uintmax_t size, std::size_t found) {
  const double read = size == 0 ? static_cast<double>(bytes)
                                : static_cast<double>(bytes) * static_cast<double>(done) / static_cast<double>(size);
  return "Stopped after " + MegabytesOf(read) + " of " + MegabytesOf(static_cast<double>(bytes)) + ": " +
         CountOfCodes(found) + " found";
}

std::string TakenNote(std::string_view what, std::uintmax_t bytes, std::int32_t line) {
  return "The " + std::string(what) + " was " + MegabytesOf(static_cast<double>(bytes)) + ": only the code from line " +
         Grouped(static_cast<std::uintmax_t>(std::max(line, 0))) + " was taken into the field.";
}

LargeTextFinder::LargeTextFinder() : finder_([this](const FoundCode& code) { found_.push_back(code); }) {}

void LargeTextFinder::FeedBytes(std::string_view bytes) { finder_.Feed(bytes); }

void LargeTextFinder::FeedUnits(std::u16string_view units) {
  std::u16string piece;
  piece.reserve(units.size() + 1);
  if (heldSurrogate_ != 0) piece.push_back(heldSurrogate_);
  piece += units;
  heldSurrogate_ = 0;
  if (!piece.empty() && piece.back() >= 0xD800 && piece.back() <= 0xDBFF) {
    heldSurrogate_ = piece.back();
    piece.pop_back();
  }
  finder_.Feed(FieldAsUtf8(piece));
}

void LargeTextFinder::Finish() {
  if (heldSurrogate_ != 0) finder_.Feed(FieldAsUtf8(std::u16string(1, heldSurrogate_)));
  heldSurrogate_ = 0;
  finder_.Finish();
}

}  // namespace zendric
