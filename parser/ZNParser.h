// Public face of the code interpreter: one call reads a whole Zendric 2 code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zendric {

// Positions of the code, counted in code points from 1, both ends included.
// From == 0: no part of the code (the message about a missing "ZN2.").
struct Span {
  std::int32_t From = 0;
  std::int32_t To = 0;
  friend bool operator==(const Span&, const Span&) = default;
};

// What one reading gives back: the result lines (UTF-8; '\r' starts a new display
// line) and the messages, each message with the 1-based code-point position it points
// at. Every line and message also carries the span of the item that wrote it.
// All texts live in one buffer per kind, so a reading costs a few allocations
// whatever its number of lines.
class ParseResult {
 public:
  std::size_t LineCount() const { return lines_.size(); }
  std::string_view Line(std::size_t i) const { return Text(lineText_, lines_, i); }
  Span LineSpan(std::size_t i) const { return lines_[i].Where; }

  std::size_t MessageCount() const { return messages_.size(); }
  std::string_view Message(std::size_t i) const { return Text(messageText_, messages_, i); }
  std::int32_t MessagePosition(std::size_t i) const { return messages_[i].Position; }
  Span MessageItem(std::size_t i) const { return messages_[i].Where; }
  // The first of the longest messages (in bytes) and the largest position of any, 0 and
  // 0 for none: kept as messages are added, so that a list of a million messages learns
  // its widest row without walking them all.
  std::size_t LongestMessage() const { return longestMessage_; }
  std::int32_t LargestMessagePosition() const { return largestPosition_; }

  // The lines whose span holds code position `position`, as [first, last): spans do
  // not decrease from line to line, so they are one run, found by halving. Empty
  // (first == last) where no line was written by the item at that position.
  std::pair<std::size_t, std::size_t> LinesAt(std::int32_t position) const;

  // --- building (the interpreter; tests that need a reading of their own) ---
  void Clear();
  void Reserve(std::size_t lineBytes, std::size_t lines);
  void ReserveMessages(std::size_t textBytes, std::size_t messages);
  // Gives back the room reserved beyond what was written, once the reading is whole.
  void Fit();
  void AddLine(std::string_view text, Span where = {});
  void AppendToLine(std::size_t i, std::string_view text);
  // AppendToLine for the last line, which there must be.
  void AppendToLastLine(std::string_view text) {
    lineText_.Append(text);
    lines_.back().SetEnd(lineText_.Size());
  }
  // Inserts before byte `at` (from 0) of line i; `at` must not pass its end.
  void InsertInLine(std::size_t i, std::size_t at, std::string_view text);
  void SetLineSpan(std::size_t i, Span where) { lines_[i].Where = where; }
  void AddMessage(std::string_view text, std::int32_t position, Span item = {});
  void SetMessageItem(std::size_t i, Span item) { messages_[i].Where = item; }

  // Same lines, messages, positions and spans.
  friend bool operator==(const ParseResult& a, const ParseResult& b);

 private:
  // A growing run of bytes: appending is a bounds check and a copy, which matters
  // here, where a reading appends a hundred small pieces. Held with malloc, so that it
  // can grow and shrink in place (see Fit).
  class Buffer {
   public:
    Buffer() = default;
    Buffer(const Buffer& other);
    Buffer& operator=(const Buffer& other);
    Buffer(Buffer&& other) noexcept { *this = std::move(other); }
    Buffer& operator=(Buffer&& other) noexcept {
      data_ = std::move(other.data_);
      size_ = std::exchange(other.size_, 0);
      capacity_ = std::exchange(other.capacity_, 0);
      return *this;
    }

    std::string_view View(std::size_t from, std::size_t to) const { return {data_.get() + from, to - from}; }
    std::size_t Size() const { return size_; }
    void Clear() { size_ = 0; }
    void Reserve(std::size_t capacity);
    // Gives back room far beyond the size: realloc shrinks in place, copying nothing.
    void Fit();
    void Append(std::string_view text) {
      if (capacity_ - size_ < text.size()) Grow(text.size());
      if (!text.empty()) std::memcpy(data_.get() + size_, text.data(), text.size());
      size_ += text.size();
    }
    void Insert(std::size_t at, std::string_view text);

   private:
    struct Free {
      void operator()(char* p) const;
    };
    void Resize(std::size_t capacity);
    void Grow(std::size_t more);
    std::unique_ptr<char, Free> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
  };

  // Texts lie in their buffer in order with nothing between them (appending to the last
  // line, the usual case, is appending to the buffer), so an entry keeps only where its
  // text ends: the one before ends where it begins. The end is kept in two halves, which
  // packs an entry in 4-byte units: a message takes 20 bytes, and a megabyte of stray
  // braces (a million messages) 20 MB instead of 32.
  struct LineEntry {
    std::uint32_t EndLow = 0;
    std::uint32_t EndHigh = 0;
    Span Where;
    std::size_t End() const { return static_cast<std::size_t>((std::uint64_t{EndHigh} << 32) | EndLow); }
    void SetEnd(std::size_t end) {
      EndLow = static_cast<std::uint32_t>(end);
      EndHigh = static_cast<std::uint32_t>(std::uint64_t{end} >> 32);
    }
  };
  struct MessageEntry : LineEntry {
    std::int32_t Position = 0;
  };
  template <class Entry>
  static std::string_view Text(const Buffer& buffer, const std::vector<Entry>& entries, std::size_t i) {
    return buffer.View(i == 0 ? 0 : entries[i - 1].End(), entries[i].End());
  }
  template <class Entry>
  static std::size_t Length(const std::vector<Entry>& entries, std::size_t i) {
    return entries[i].End() - (i == 0 ? 0 : entries[i - 1].End());
  }

  Buffer lineText_;
  std::vector<LineEntry> lines_;
  Buffer messageText_;
  std::vector<MessageEntry> messages_;
  std::size_t longestMessage_ = 0;
  std::int32_t largestPosition_ = 0;
};

// Reads `code` (UTF-8; ill-formed bytes read as U+FFFD). Never throws.
ParseResult ParseCode(std::string_view code);

// `bytes` as well-formed UTF-8: each ill-formed part replaced as ParseCode reads it.
std::string ToValidUtf8(std::string_view bytes);

}  // namespace zendric
