#include "Finder.h"

#include <algorithm>
#include <limits>

#include "ParseState.h"  // DecodeUtf8

namespace zendric {

namespace {

constexpr std::string_view CodeStart = "ZN2.";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view SignatureDelimiter = "-- ";
constexpr std::int32_t MaxContinuationLines = 32;
constexpr std::size_t MaxJoinedBytes = 8192;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::int32_t Clamped(std::int64_t n) {
  return static_cast<std::int32_t>(std::min<std::int64_t>(n, std::numeric_limits<std::int32_t>::max()));
}

// End of the quote prefix; `depth` gets the number of '>' in it.
std::size_t QuotePrefixEnd(std::string_view line, std::int64_t& depth) {
  depth = 0;
  std::size_t i = 0;
  for (; i < line.size() && (IsBlank(line[i]) || line[i] == '>'); ++i) depth += line[i] == '>';
  return i;
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Callers cut only in front of an ASCII byte, which never belongs to an
// ill-formed part, so pieces counted apart add up to the count of the whole.
std::int64_t CodePoints(std::string_view bytes) {
  return static_cast<std::int64_t>(DecodeUtf8(bytes).size());
}

// Where the next code starts at or after `from`, or npos.
std::size_t NextCodeStart(std::string_view line, std::size_t prefixEnd, std::size_t from) {
  for (std::size_t at = line.find(CodeStart, from); at != std::string_view::npos;
       at = line.find(CodeStart, at + 1)) {
    if (at == prefixEnd || (at > prefixEnd && IsBlank(line[at - 1]))) return at;
  }
  return std::string_view::npos;
}

}  // namespace

CodeFinder::CodeFinder(Sink sink) : sink_(std::move(sink)) {}

void CodeFinder::Feed(std::string_view bytes) {
  std::size_t i = 0;
  if (afterCarriageReturn_ && !bytes.empty()) {
    if (bytes[0] == '\n') i = 1;
    afterCarriageReturn_ = false;
  }
  while (i < bytes.size()) {
    std::size_t end = i;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    line_.append(bytes.substr(i, end - i));
    if (end == bytes.size()) break;
    EndLine();
    if (bytes[end] == '\r') {
      if (end + 1 == bytes.size()) {
        afterCarriageReturn_ = true;  // the line feed may come with the next piece
      } else if (bytes[end + 1] == '\n') {
        ++end;
      }
    }
    i = end + 1;
  }
}

void CodeFinder::Finish() {
  // An empty last line changes nothing: it would only end the open code.
  if (!line_.empty()) EndLine();
  if (open_) ReportOpen();
  line_.clear();
  afterCarriageReturn_ = false;
  lineNumber_ = 1;
}

void CodeFinder::EndLine() {
  std::string_view line = line_;
  if (lineNumber_ == 1 && line.starts_with(ByteOrderMark)) line.remove_prefix(ByteOrderMark.size());
  ScanLine(line);
  line_.clear();
  ++lineNumber_;
}

void CodeFinder::ScanLine(std::string_view line) {
  std::int64_t depth = 0;
  const std::size_t prefixEnd = QuotePrefixEnd(line, depth);
  if (open_) {
    if (Continues(line, prefixEnd, depth)) return;
    ReportOpen();
  }
  std::size_t start = NextCodeStart(line, prefixEnd, prefixEnd);
  std::size_t counted = 0;        // bytes whose code points are in `column`
  std::int64_t column = 1;
  while (start != std::string_view::npos) {
    column += CodePoints(line.substr(counted, start - counted));
    counted = start;
    const std::size_t next = NextCodeStart(line, prefixEnd, start + CodeStart.size());
    const std::string_view code =
        WithoutTrailingBlanks(line.substr(start, next == std::string_view::npos ? line.npos : next - start));
    openCode_ = FoundCode{ToValidUtf8(code), Clamped(lineNumber_), Clamped(column)};
    if (next == std::string_view::npos) {
      open_ = true;  // only the last code of a line may go on
      openDepth_ = depth;
      openMessages_ = -1;
      openLines_ = 0;
    } else {
      sink_(openCode_);
    }
    start = next;
  }
}

bool CodeFinder::Continues(std::string_view line, std::size_t prefixEnd, std::int64_t depth) {
  const std::string_view text = line.substr(prefixEnd);
  if (depth != openDepth_ || text.empty() || text == SignatureDelimiter ||
      line.find(CodeStart) != std::string_view::npos || openLines_ >= MaxContinuationLines) {
    return false;
  }
  const std::string added = ToValidUtf8(WithoutTrailingBlanks(text));
  if (openCode_.Code.size() + 1 + added.size() > MaxJoinedBytes) return false;
  if (openMessages_ < 0) openMessages_ = MessageCount(openCode_.Code);
  std::string joined = openCode_.Code;
  joined += ' ';
  joined += added;
  const std::int64_t messages = MessageCount(joined);
  if (messages > openMessages_) return false;
  openCode_.Code = std::move(joined);
  openMessages_ = messages;
  ++openLines_;
  return true;
}

void CodeFinder::ReportOpen() {
  open_ = false;
  sink_(openCode_);
}

std::int64_t CodeFinder::MessageCount(std::string_view code) {
  return static_cast<std::int64_t>(ParseCode(code).MessageCount());
}

std::vector<FoundCode> FindCodes(std::string_view text) {
  std::vector<FoundCode> found;
  CodeFinder finder([&found](const FoundCode& code) { found.push_back(code); });
  finder.Feed(text);
  finder.Finish();
  return found;
}

}  // namespace zendric
