#include <algorithm>

#include "ZNParser.h"

namespace zendric {

std::pair<std::size_t, std::size_t> ParseResult::LinesAt(std::int32_t position) const {
  if (position < 1) return {0, 0};
  // Lines without a span (From == 0) come only from readings built by hand; they
  // hold no position and sort first, as they would with the halving below.
  const LineEntry* first = std::partition_point(lines_.begin(), lines_.end(),
                                                [&](const LineEntry& e) { return e.Where.To < position; });
  const LineEntry* last = first;
  while (last != lines_.end() && last->Where.From != 0 && last->Where.From <= position) ++last;
  return {static_cast<std::size_t>(first - lines_.begin()), static_cast<std::size_t>(last - lines_.begin())};
}

void ParseResult::Clear() {
  lineText_.Clear();
  lines_.Clear();
  messageText_.Clear();
  messages_.Clear();
  longestMessage_ = 0;
  largestPosition_ = 0;
}

void ParseResult::Reserve(std::size_t lineBytes, std::size_t lines) {
  lineText_.ReserveAbout(lineBytes);
  lines_.ReserveAbout(lines);
}

void ParseResult::ReserveMessages(std::size_t textBytes, std::size_t messages) {
  messageText_.ReserveAbout(textBytes);
  messages_.ReserveAbout(messages);
}

void ParseResult::Fit() {
  lineText_.Fit();
  lines_.Fit();
  messageText_.Fit();
  messages_.Fit();
}

void ParseResult::AddLine(std::string_view text, Span where) {
  lineText_.Append(text.data(), text.size());
  LineEntry& e = lines_.Push();
  e.SetEnd(lineText_.Size());
  e.Where = where;
}

void ParseResult::AppendToLine(std::size_t i, std::string_view text) {
  InsertInLine(i, Length(lines_, i), text);
}

void ParseResult::InsertInLine(std::size_t i, std::size_t at, std::string_view text) {
  // The lines after it move up: readers mostly write to the last line, where none do.
  lineText_.Insert(Begin(lines_, i) + std::min(at, Length(lines_, i)), text.data(), text.size());
  for (std::size_t k = i; k < lines_.Size(); ++k) lines_[k].SetEnd(lines_[k].End() + text.size());
}

void ParseResult::AddMessage(std::string_view text, std::int32_t position, Span item) {
  const std::size_t count = messages_.Size();
  if (count > 0 && text.size() > Length(messages_, longestMessage_)) longestMessage_ = count;
  largestPosition_ = count == 0 ? position : std::max(largestPosition_, position);
  messageText_.Append(text.data(), text.size());
  MessageEntry& e = messages_.Push();
  e.SetEnd(messageText_.Size());
  e.Where = item;
  e.Position = position;
}

bool operator==(const ParseResult& a, const ParseResult& b) {
  if (a.LineCount() != b.LineCount() || a.MessageCount() != b.MessageCount()) return false;
  for (std::size_t i = 0; i < a.LineCount(); ++i)
    if (a.Line(i) != b.Line(i) || a.LineSpan(i) != b.LineSpan(i)) return false;
  for (std::size_t i = 0; i < a.MessageCount(); ++i)
    if (a.Message(i) != b.Message(i) || a.MessagePosition(i) != b.MessagePosition(i) ||
        a.MessageItem(i) != b.MessageItem(i))
      return false;
  return true;
}

}  // namespace zendric
