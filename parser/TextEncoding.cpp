#include "TextEncoding.h"

#include "ParseState.h"

#include <cstdint>
#include <algorithm>
#include <cstring>

namespace zendric {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view LittleEndianMark = "\xFF\xFE";
constexpr std::string_view BigEndianMark = "\xFE\xFF";
constexpr std::string_view Replacement = "\xEF\xBF\xBD";

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Where the bytes a later piece may still complete begin: the last byte that can lead
// a sequence, if it stands among the last three. A cut in front of such a byte (or of
// ASCII) never splits an ill-formed part, so both sides decode as the whole would.
std::size_t UnfinishedTail(std::string_view bytes) {
  const std::size_t n = bytes.size();
  for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
    const auto b = static_cast<unsigned char>(bytes[n - back]);
    if (b >= 0xC0) return n - back;
    if (b < 0x80) break;
  }
  return n;
}

}  // namespace

void AppendValidUtf8(std::string_view bytes, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  out.reserve(out.size() + n);
  std::size_t i = 0;
  std::size_t run = 0;  // start of the well-formed bytes not yet copied
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      // Mostly ASCII: skip whole words of it.
      ++i;
      for (std::uint64_t word; i + 8 <= n; i += 8) {
        std::memcpy(&word, p + i, 8);
        if ((word & 0x8080808080808080u) != 0) break;
      }
      while (i < n && p[i] < 0x80) ++i;
      continue;
    }
    // The lead byte's length and the range of its first continuation byte, which rules
    // out overlongs, surrogates and values past U+10FFFF.
    int need = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    }
    const std::size_t start = i++;
    bool complete = need > 0;
    for (int k = 0; k < need; ++k, ++i) {
      if (i >= n || p[i] < lo || p[i] > hi) {
        complete = false;  // the maximal subpart ends here; this byte is read afresh
        break;
      }
      lo = 0x80;
      hi = 0xBF;
    }
    if (!complete) {
      out.append(bytes.substr(run, start - run));
      out += Replacement;
      run = i;
    }
  }
  out.append(bytes.substr(run));
}

void TextDecoder::Feed(std::string_view bytes, std::string& out) {
  if (form_ == Form::Unknown) {
    // Enough bytes to tell a mark from the text, or all there are so far.
    const std::size_t take = std::min(bytes.size(), Utf8Mark.size() - held_.size());
    held_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    const std::string_view start = held_;
    const bool couldBeMark =
        Utf8Mark.starts_with(start) || LittleEndianMark.starts_with(start) || BigEndianMark.starts_with(start);
    if (start.size() < Utf8Mark.size() && couldBeMark && bytes.empty()) return;
    Settle(out);
  }
  if (form_ == Form::Utf8) FeedUtf8(bytes, out);
  else FeedUtf16(bytes, out);
}

// The held first bytes decide the form; what follows the mark is text.
void TextDecoder::Settle(std::string& out) {
  std::string first;
  first.swap(held_);
  std::string_view text = first;
  form_ = Form::Utf8;
  if (text.starts_with(Utf8Mark)) {
    text.remove_prefix(Utf8Mark.size());
  } else if (text.starts_with(LittleEndianMark)) {
    form_ = Form::Utf16LittleEndian;
    text.remove_prefix(LittleEndianMark.size());
  } else if (text.starts_with(BigEndianMark)) {
    form_ = Form::Utf16BigEndian;
    text.remove_prefix(BigEndianMark.size());
  }
  if (form_ == Form::Utf8) FeedUtf8(text, out);
  else FeedUtf16(text, out);
}

void TextDecoder::FeedUtf8(std::string_view bytes, std::string& out) {
  if (!held_.empty()) {
    // The held sequence with the continuation bytes that may finish it: no sequence
    // is longer than four bytes.
    std::string joined = held_;
    held_.clear();
    while (!bytes.empty() && joined.size() < 4 && (static_cast<unsigned char>(bytes.front()) & 0xC0) == 0x80) {
      joined += bytes.front();
      bytes.remove_prefix(1);
    }
    if (bytes.empty() && joined.size() < 4) {
      held_ = std::move(joined);  // still unfinished: the next piece decides
      return;
    }
    AppendValidUtf8(joined, out);
  }
  const std::size_t tail = UnfinishedTail(bytes);
  AppendValidUtf8(bytes.substr(0, tail), out);
  held_.assign(bytes.substr(tail));
}

void TextDecoder::FeedUtf16(std::string_view bytes, std::string& out) {
  const bool little = form_ == Form::Utf16LittleEndian;
  out.reserve(out.size() + bytes.size());
  const auto unit = [little](unsigned char a, unsigned char b) {
    return static_cast<char16_t>(little ? (b << 8) | a : (a << 8) | b);
  };
  const auto take = [&](char16_t u) {
    if (highSurrogate_ != 0) {
      if (IsLowSurrogate(u)) {
        AppendUtf8(out, 0x10000 + ((char32_t{highSurrogate_} - 0xD800) << 10) + (u - 0xDC00));
        highSurrogate_ = 0;
        return;
      }
      out += Replacement;
      highSurrogate_ = 0;
    }
    if (IsHighSurrogate(u)) highSurrogate_ = u;
    else if (IsLowSurrogate(u)) out += Replacement;
    else AppendUtf8(out, u);
  };
  std::size_t i = 0;
  if (!held_.empty() && !bytes.empty()) {
    take(unit(static_cast<unsigned char>(held_[0]), static_cast<unsigned char>(bytes[0])));
    held_.clear();
    i = 1;
  }
  for (; i + 1 < bytes.size(); i += 2)
    take(unit(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1])));
  if (i < bytes.size()) held_.assign(1, bytes[i]);
}

void TextDecoder::Finish(std::string& out) {
  if (form_ == Form::Unknown) Settle(out);  // a text no longer than a mark
  if (form_ == Form::Utf8) {
    AppendValidUtf8(held_, out);
  } else if (highSurrogate_ != 0 || !held_.empty()) {
    out += Replacement;  // a surrogate without its pair, or an odd byte
    if (highSurrogate_ != 0 && !held_.empty()) out += Replacement;
  }
  form_ = Form::Unknown;
  held_.clear();
  highSurrogate_ = 0;
}

std::string DecodeText(std::string_view bytes) {
  std::string out;
  TextDecoder decoder;
  decoder.Feed(bytes, out);
  decoder.Finish(out);
  return out;
}

}  // namespace zendric
