#include "TerminalText.h"

#include <cstdio>

#include "TextEncoding.h"

namespace zendric {

namespace {

std::size_t SequenceLength(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

// The code point of a bidirectional control at text[i], or 0.
char32_t BidiControlAt(std::string_view text, std::size_t i) {
  const auto at = [&](std::size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0; };
  if (at(0) == 0xD8 && at(1) == 0x9C) return 0x061C;
  if (at(0) != 0xE2) return 0;
  const char32_t cp = 0x2000 + ((static_cast<char32_t>(at(1)) & 0x3F) << 6) + (static_cast<char32_t>(at(2)) & 0x3F);
  if (at(1) < 0x80 || at(1) > 0x81) return 0;
  const bool bidi = cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
  return bidi ? cp : 0;
}

}  // namespace

std::size_t AppendVisibleCharacter(std::string& out, std::string_view text, std::size_t i) {
  const auto u = static_cast<unsigned char>(text[i]);
  if (u < 0x20) {
    out += "\xE2\x90";
    out += static_cast<char>(0x80 + u);
    return i + 1;
  }
  if (u == 0x7F) {
    out += "\xE2\x90\xA1";
    return i + 1;
  }
  if (u == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
    out += "\xE2\x90\x9B";
    out += static_cast<char>(static_cast<unsigned char>(text[i + 1]) - 0x40);
    return i + 2;
  }
  if (const char32_t bidi = BidiControlAt(text, i); bidi != 0) {
    char name[12];
    std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(bidi));
    out += name;
    return i + SequenceLength(u);
  }
  const std::size_t next = std::min(text.size(), i + SequenceLength(u));
  out.append(text.substr(i, next - i));
  return next;
}

int VisibleColumns(std::string_view text, std::size_t i) {
  const auto u = static_cast<unsigned char>(text[i]);
  if (u == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return 2;
  if (BidiControlAt(text, i) != 0) return 8;
  return 1;
}

std::string VisibleText(std::string_view bytes) {
  const std::string text = DecodeText(bytes);
  std::string out;
  for (std::size_t i = 0; i < text.size();) i = AppendVisibleCharacter(out, text, i);
  return out;
}

}  // namespace zendric
