// Finds Zendric 2 codes inside any text: mail signatures, quoted replies, wrapped
// lines, forum posts and files. The window, zendric-read and the web page share
// these rules:
//
// 1. Quote prefix. A line's quote prefix is its leading run of blanks, tabs and
//    '>' characters. Its depth is the number of '>' in it.
// 2. Where a code starts. At "ZN2." standing either at the start of the line's
//    text after the quote prefix, or right after a blank or a tab. "aZN2.", "zn2."
//    and "ZN2" without the point start nothing.
// 3. Where a code ends. It runs to the end of its line; trailing blanks and tabs
//    are dropped. When another "ZN2." on the same line starts a code, the first
//    ends before the blanks and tabs in front of that one. A code takes at most
//    8 KB of its line, cut after the last whole character: what lies beyond is
//    passed over.
// 4. Continuation lines. The lines after the last code of a line continue it,
//    each joined with one blank once its quote prefix (and trailing blanks and
//    tabs) are removed, as long as every one of these holds:
//    - the line has the same quote depth;
//    - it is not empty after the prefix;
//    - it is not the signature delimiter "-- ";
//    - it holds no "ZN2.";
//    - the joined code, read by the interpreter, records no more messages than
//      the code did without that line;
//    - the code has taken fewer than 32 lines and the joined code stays within
//      8 KB (every line tried is read with all the code before it: without a
//      bound a long paragraph would take time in the square of its length).
//    A code that is not the last of its line is never continued.
// 5. Where a code is reported. At the line (from 1) and column (from 1, counting
//    code points) of its 'Z'. A line ends at a line feed, a carriage return, or a
//    carriage return followed by a line feed, which is one line end.
// 6. Encoding. The input is decoded as TextEncoding.h decodes texts: UTF-16 or
//    UTF-8 by a byte-order mark at its very start, which counts for no column, and
//    UTF-8 without one. Each ill-formed part becomes one U+FFFD and counts as one
//    column.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "TextEncoding.h"

namespace zendric {

// A code takes at most this many lines below its own (rule 4).
inline constexpr std::int32_t MaxContinuationLines = 32;

struct FoundCode {
  std::string Code;  // the joined code, well-formed UTF-8
  std::int32_t Line = 0;
  std::int32_t Column = 0;
  std::int32_t Lines = 1;  // the lines it takes: its own and those that continue it
};

// Every code in `text`, in the order they start.
std::vector<FoundCode> FindCodes(std::string_view text);

// The same rules over input that arrives in pieces of any size: the time is linear
// in the input, and memory stays within a few times the 8 KB a code may take, however
// long a line is.
class CodeFinder {
 public:
  using Sink = std::function<void(const FoundCode&)>;
  explicit CodeFinder(Sink sink);

  void Feed(std::string_view bytes);
  // Ends the input: reports the code still open. The finder is then ready for a
  // new input. After an exception (from the sink, or std::bad_alloc) it is not:
  // use a new finder.
  void Finish();

 private:
  void FeedText(std::string_view text);
  void TakeLinePart(std::string_view part);
  void TakeRun(std::string_view run);
  void TakeCharacterByte(char c);
  void CodeStartFound();
  void EndLine();
  bool Continues();
  void ReportOpen();
  std::int64_t MessageCount(std::string_view code);

  Sink sink_;
  TextDecoder decoder_;
  std::string decoded_;
  bool afterCarriageReturn_ = false;  // a line feed right now belongs to that line end
  std::int64_t lineNumber_ = 1;

  // The line being read, as far as it can still matter.
  bool inPrefix_ = true;
  std::int64_t depth_ = 0;
  std::int64_t column_ = 0;         // characters of the line so far
  bool mayStart_ = true;            // a code may start at the next character
  bool anyCodeStart_ = false;       // "ZN2." somewhere in the line
  int matched_ = 0;                 // characters of "ZN2." just read
  bool matchMayStart_ = false;
  std::int64_t matchColumn_ = 0;
  std::size_t codeBeforeMatch_ = 0;  // bytes of the line's code in front of the match
  bool keepText_ = false;           // the line may continue the open code
  std::string text_;                // the line after its prefix, up to 8 KB
  bool textTooLong_ = false;        // more than that, not counting trailing blanks
  bool inCode_ = false;             // a code started on this line
  FoundCode code_;                  // its first 8 KB
  bool codeCut_ = false;            // it reached that bound: the rest of the line is passed over

  bool open_ = false;               // the last code of the previous line may go on
  FoundCode openCode_;
  std::int64_t openDepth_ = 0;
  std::int64_t openMessages_ = -1;  // -1 until needed
  std::int32_t openLines_ = 0;      // continuation lines taken
};

}  // namespace zendric
