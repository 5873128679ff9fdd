#include <algorithm>
#include <cstdlib>
#include <new>

#include "ZNParser.h"

namespace zendric {

namespace {

// Room beyond what a reading wrote that is worth giving back: below it, the realloc
// would cost more than the room is worth.
constexpr std::size_t LeftoverBytes = 64 * 1024;

}  // namespace

void ParseResult::Buffer::Free::operator()(char* p) const { std::free(p); }

ParseResult::Buffer::Buffer(const Buffer& other) { *this = other; }

ParseResult::Buffer& ParseResult::Buffer::operator=(const Buffer& other) {
  if (this == &other) return *this;
  size_ = 0;
  Reserve(other.size_);
  if (other.size_ > 0) std::memcpy(data_.get(), other.data_.get(), other.size_);
  size_ = other.size_;
  return *this;
}

void ParseResult::Buffer::Resize(std::size_t capacity) {
  // Left uninitialised: the new room is written before it is read.
  void* resized = std::realloc(data_.get(), capacity == 0 ? 1 : capacity);
  if (resized == nullptr) throw std::bad_alloc();
  (void)data_.release();
  data_.reset(static_cast<char*>(resized));
  capacity_ = capacity;
}

void ParseResult::Buffer::Reserve(std::size_t capacity) {
  if (capacity > capacity_) Resize(capacity);
}

void ParseResult::Buffer::Fit() {
  if (capacity_ - size_ >= LeftoverBytes) Resize(size_);
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
                                          [&](const LineEntry& e) { return e.Where.To < position; });
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

namespace {

// A vector whose capacity is far beyond its size gives the rest back; the copy this
// takes is of the entries written only.
template <class Entry>
void FitEntries(std::vector<Entry>& entries) {
  if ((entries.capacity() - entries.size()) * sizeof(Entry) >= LeftoverBytes) entries.shrink_to_fit();
}

}  // namespace

void ParseResult::Fit() {
  lineText_.Fit();
  messageText_.Fit();
  FitEntries(lines_);
  FitEntries(messages_);
}

void ParseResult::AddLine(std::string_view text, Span where) {
  lineText_.Append(text);
  LineEntry& e = lines_.emplace_back();
  e.SetEnd(lineText_.Size());
  e.Where = where;
}

void ParseResult::AppendToLine(std::size_t i, std::string_view text) {
  InsertInLine(i, Length(lines_, i), text);
}

void ParseResult::InsertInLine(std::size_t i, std::size_t at, std::string_view text) {
  // The lines after it move up: readers mostly write to the last line, where none do.
  const std::size_t begin = i == 0 ? 0 : lines_[i - 1].End();
  lineText_.Insert(begin + std::min(at, Length(lines_, i)), text);
  for (std::size_t k = i; k < lines_.size(); ++k) lines_[k].SetEnd(lines_[k].End() + text.size());
}

void ParseResult::AddMessage(std::string_view text, std::int32_t position, Span item) {
  if (!messages_.empty() && text.size() > Length(messages_, longestMessage_)) longestMessage_ = messages_.size();
  largestPosition_ = messages_.empty() ? position : std::max(largestPosition_, position);
  messageText_.Append(text);
  MessageEntry& e = messages_.emplace_back();
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
