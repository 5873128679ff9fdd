// How the bytes of a text become the UTF-8 the reader reads. A text that starts with
// a byte-order mark is in the encoding it names: UTF-8 (EF BB BF), UTF-16 little-endian
// (FF FE) or big-endian (FE FF); the mark itself is no part of the text. Any other
// text is UTF-8. Each ill-formed part becomes one U+FFFD, as the interpreter reads it:
// in UTF-8 each maximal subpart of a sequence, in UTF-16 each lone surrogate and an odd
// byte at the end.
#pragma once

#include <string>
#include <string_view>

namespace zendric {

// A whole text as well-formed UTF-8.
std::string DecodeText(std::string_view bytes);

// The same for a text that arrives in pieces of any size: a mark, a code unit or a
// sequence may be split between pieces. Holds at most three bytes between pieces.
class TextDecoder {
 public:
  // Appends the UTF-8 of the next piece to `out`.
  void Feed(std::string_view bytes, std::string& out);
  // Ends the text: an unfinished sequence or code unit becomes U+FFFD. The decoder is
  // then ready for a new text.
  void Finish(std::string& out);

 private:
  enum class Form : unsigned char { Unknown, Utf8, Utf16LittleEndian, Utf16BigEndian };
  void Settle(std::string& out);
  void FeedUtf8(std::string_view bytes, std::string& out);
  void FeedUtf16(std::string_view bytes, std::string& out);

  Form form_ = Form::Unknown;
  std::string held_;         // bytes whose meaning the next piece decides
  char16_t highSurrogate_ = 0;  // UTF-16: a high surrogate waiting for its pair
};

// `bytes` (UTF-8) appended to `out` as well-formed UTF-8, each ill-formed part as
// U+FFFD; `bytes` must not end inside a sequence that the next bytes could complete.
void AppendValidUtf8(std::string_view bytes, std::string& out);

}  // namespace zendric
