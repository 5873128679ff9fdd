#include "Finder.h"

#include <algorithm>
#include <limits>

#include "ZNParser.h"

namespace zendric {

namespace {

constexpr std::string_view CodeStart = "ZN2.";
constexpr std::string_view SignatureDelimiter = "-- ";
constexpr std::size_t MaxJoinedBytes = 8192;
// The input is decoded this much at a time, so that a whole text costs no copy of it.
constexpr std::size_t DecodePiece = std::size_t{1} << 16;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

std::int32_t Clamped(std::int64_t n) {
  return static_cast<std::int32_t>(std::min<std::int64_t>(n, std::numeric_limits<std::int32_t>::max()));
}

std::string_view WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::int64_t Characters(std::string_view text) {
  return static_cast<std::int64_t>(std::count_if(text.begin(), text.end(), StartsCharacter));
}

// `text` cut to at most `room` bytes, after its last whole character.
std::string_view Within(std::string_view text, std::size_t room) {
  if (text.size() <= room) return text;
  std::size_t end = room;
  while (end > 0 && !StartsCharacter(text[end])) --end;
  return text.substr(0, end);
}

// A code cut at its bound, or before the next code, ends without blanks and without a
// character cut in two.
void EndCode(std::string& code) {
  std::size_t end = code.size();
  std::size_t lead = end;
  while (lead > 0 && !StartsCharacter(code[lead - 1])) --lead;
  if (lead > 0 && lead < end + 1) {
    const auto b = static_cast<unsigned char>(code[lead - 1]);
    const std::size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    if (end - (lead - 1) < length) end = lead - 1;
  }
  code.resize(WithoutTrailingBlanks(std::string_view(code).substr(0, end)).size());
}

}  // namespace

CodeFinder::CodeFinder(Sink sink) : sink_(std::move(sink)) {}

void CodeFinder::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::string_view piece = bytes.substr(0, DecodePiece);
    bytes.remove_prefix(piece.size());
    decoded_.clear();
    decoder_.Feed(piece, decoded_);
    FeedText(decoded_);
  }
}

void CodeFinder::FeedText(std::string_view text) {
  std::size_t i = 0;
  if (afterCarriageReturn_ && !text.empty()) {
    if (text[0] == '\n') i = 1;
    afterCarriageReturn_ = false;
  }
  while (i < text.size()) {
    std::size_t end = i;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    TakeLinePart(text.substr(i, end - i));
    if (end == text.size()) break;
    EndLine();
    if (text[end] == '\r') {
      if (end + 1 == text.size()) {
        afterCarriageReturn_ = true;  // the line feed may come with the next piece
      } else if (text[end + 1] == '\n') {
        ++end;
      }
    }
    i = end + 1;
  }
}

void CodeFinder::Finish() {
  decoded_.clear();
  decoder_.Finish(decoded_);
  FeedText(decoded_);
  // An empty last line changes nothing: it would only end the open code.
  if (column_ > 0) EndLine();
  if (open_) ReportOpen();
  afterCarriageReturn_ = false;
  lineNumber_ = 1;
  std::string().swap(decoded_);
}

void CodeFinder::TakeLinePart(std::string_view part) {
  std::size_t i = 0;
  for (; inPrefix_ && i < part.size(); ++i) {
    const char c = part[i];
    if (!IsBlank(c) && c != '>') {
      inPrefix_ = false;
      keepText_ = open_;
      break;
    }
    depth_ += c == '>';
    ++column_;
  }
  while (i < part.size()) {
    if (matched_ > 0) {
      TakeCharacterByte(part[i++]);
      continue;
    }
    // Up to the next 'Z' nothing can start a code.
    const std::size_t z = part.find('Z', i);
    const std::size_t end = z == std::string_view::npos ? part.size() : z;
    if (end > i) TakeRun(part.substr(i, end - i));
    i = end;
    if (i < part.size()) TakeCharacterByte(part[i++]);
  }
}

void CodeFinder::TakeRun(std::string_view run) {
  if (keepText_ && !textTooLong_) {
    const std::string_view kept = Within(run, MaxJoinedBytes - text_.size());
    text_.append(kept);
    // Past the bound only blanks may follow, which the join drops anyway.
    if (kept.size() < run.size() && !WithoutTrailingBlanks(run.substr(kept.size())).empty()) textTooLong_ = true;
  }
  if (inCode_ && !codeCut_) {
    // Once cut, a code takes nothing more, or a letter could still squeeze into the
    // room a cut character left, depending on where the input was split into pieces.
    const std::string_view kept = Within(run, MaxJoinedBytes - std::min(MaxJoinedBytes, code_.Code.size()));
    code_.Code.append(kept);
    codeCut_ = kept.size() < run.size();
  }
  column_ += Characters(run);
  mayStart_ = IsBlank(run.back());
}

void CodeFinder::TakeCharacterByte(char c) {
  if (c == 'Z') {
    matched_ = 1;
    matchMayStart_ = mayStart_;
    matchColumn_ = column_ + 1;
    codeBeforeMatch_ = code_.Code.size();
  } else if (matched_ > 0 && c == CodeStart[static_cast<std::size_t>(matched_)]) {
    ++matched_;
  } else {
    matched_ = 0;
  }
  TakeRun(std::string_view(&c, 1));
  if (matched_ == static_cast<int>(CodeStart.size())) {
    matched_ = 0;
    CodeStartFound();
  }
}

void CodeFinder::CodeStartFound() {
  if (!anyCodeStart_) {
    anyCodeStart_ = true;
    keepText_ = false;  // a line with "ZN2." continues nothing
    std::string().swap(text_);
    if (open_) ReportOpen();
  }
  if (!matchMayStart_) return;
  if (inCode_) {
    // Only the last code of a line may go on; this one ends before the blanks in
    // front of the next.
    code_.Code.resize(std::min(codeBeforeMatch_, code_.Code.size()));
    EndCode(code_.Code);
    sink_(code_);
  }
  inCode_ = true;
  codeCut_ = false;
  code_ = FoundCode{std::string(CodeStart), Clamped(lineNumber_), Clamped(matchColumn_)};
}

void CodeFinder::EndLine() {
  if (open_ && !Continues()) ReportOpen();
  if (inCode_) {
    EndCode(code_.Code);
    openCode_ = std::move(code_);
    open_ = true;
    openDepth_ = depth_;
    openMessages_ = -1;
    openLines_ = 0;
  }
  inPrefix_ = true;
  depth_ = 0;
  column_ = 0;
  mayStart_ = true;
  anyCodeStart_ = false;
  matched_ = 0;
  keepText_ = false;
  text_.clear();
  textTooLong_ = false;
  inCode_ = false;
  codeCut_ = false;
  code_ = FoundCode{};
  ++lineNumber_;
}

bool CodeFinder::Continues() {
  if (!keepText_ || textTooLong_ || depth_ != openDepth_ || text_.empty() || text_ == SignatureDelimiter ||
      openLines_ >= MaxContinuationLines) {
    return false;
  }
  const std::string_view added = WithoutTrailingBlanks(text_);
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
  openCode_.Lines = 1 + openLines_;
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
