#include <algorithm>

#include "ZNParser.h"

namespace zendric {

ParseResult::Buffer::Buffer(const Buffer& other) { *this = other; }

ParseResult::Buffer& ParseResult::Buffer::operator=(const Buffer& other) {
  if (this == &other) return *this;
  size_ = 0;
  Reserve(other.size_);
  if (other.size_ > 0) std::memcpy(data_.get(), other.data_.get(), other.size_);
  size_ = other.size_;
  return *this;
}

void ParseResult::Buffer::Reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  // Left uninitialised (no "()"): the new room is written before it is read.
  std::unique_ptr<char[]> grown(new char[capacity]);
  if (size_ > 0) std::memcpy(grown.get(), data_.get(), size_);
  data_ = std::move(grown);
  capacity_ = capacity;
}

void ParseResult::Buffer::Grow(std::size_t more) { Reserve(std::max(size_ + more, 2 * capacity_ + 64)); }

void ParseResult::Buffer::Insert(std::size_t at, std::string_view text) {
  if (capacity_ - size_ < text.size()) Grow(text.size());
  char* base = data_.get();
  if (size_ > at) std::memmove(base + at + text.size(), base + at, size_ - at);
  if (!text.empty()) std::memcpy(base + at, text.data(), text.size());
  size_ += text.size();
}

std::pair<std::size_t, std::size_t> ParseResult::LinesAt(std::int32_t position) const {
  if (position < 1) return {0, 0};
  // Lines without a span (From == 0) come only from readings built by hand; they
  // hold no position and sort first, as they would with the halving below.
  const auto first = std::partition_point(lines_.begin(), lines_.end(),
                                          [&](const Entry& e) { return e.Where.To < position; });
  auto last = first;
  while (last != lines_.end() && last->Where.From != 0 && last->Where.From <= position) ++last;
  return {static_cast<std::size_t>(first - lines_.begin()), static_cast<std::size_t>(last - lines_.begin())};
}

void ParseResult::Clear() {
  lineText_.Clear();
  lines_.clear();
  messageText_.Clear();
  messages_.clear();
  longestMessage_ = 0;
  largestPosition_ = 0;
}

void ParseResult::Reserve(std::size_t lineBytes, std::size_t lines) {
  lineText_.Reserve(lineBytes);
  lines_.reserve(lines);
}

void ParseResult::ReserveMessages(std::size_t textBytes, std::size_t messages) {
  messageText_.Reserve(textBytes);
  messages_.reserve(messages);
}

void ParseResult::AddLine(std::string_view text, Span where) {
  lines_.push_back({lineText_.Size(), text.size(), where, 0});
  lineText_.Append(text);
}

void ParseResult::AppendToLine(std::size_t i, std::string_view text) {
  Entry& e = lines_[i];
  if (i + 1 == lines_.size()) {
    lineText_.Append(text);
  } else {
    // A line before the last one: the lines after it move up. Readers write to the last
    // line, so this is only here to keep any other order correct.
    lineText_.Insert(e.Offset + e.Length, text);
    for (std::size_t k = i + 1; k < lines_.size(); ++k) lines_[k].Offset += text.size();
  }
  e.Length += text.size();
}

void ParseResult::InsertInLine(std::size_t i, std::size_t at, std::string_view text) {
  Entry& e = lines_[i];
  at = std::min(at, e.Length);
  lineText_.Insert(e.Offset + at, text);
  e.Length += text.size();
  for (std::size_t k = i + 1; k < lines_.size(); ++k) lines_[k].Offset += text.size();
}

void ParseResult::AddMessage(std::string_view text, std::int32_t position, Span item) {
  if (!messages_.empty() && text.size() > messages_[longestMessage_].Length) longestMessage_ = messages_.size();
  largestPosition_ = messages_.empty() ? position : std::max(largestPosition_, position);
  messages_.push_back({messageText_.Size(), text.size(), item, position});
  messageText_.Append(text);
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
