// Public face of the code interpreter: one call reads a whole Zendric 2 code.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
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
  std::size_t LineCount() const { return lines_.Size(); }
  std::string_view Line(std::size_t i) const { return Text(lineText_, lines_, i); }
  Span LineSpan(std::size_t i) const { return lines_[i].Where; }

  std::size_t MessageCount() const { return messages_.Size(); }
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
  // Room for the worst case guessed; room of a quarter of it or more is kept instead.
  void Reserve(std::size_t lineBytes, std::size_t lines);
  void ReserveMessages(std::size_t textBytes, std::size_t messages);
  // Gives back the room reserved beyond what was written, once the reading is whole.
  void Fit();
  void AddLine(std::string_view text, Span where = {});
  void AppendToLine(std::size_t i, std::string_view text);
  // AppendToLine for the last line, which there must be.
  void AppendToLastLine(std::string_view text) {
    lineText_.Append(text.data(), text.size());
    lines_.Last().SetEnd(lineText_.Size());
  }
  // Inserts before byte `at` (from 0) of line i; `at` must not pass its end.
  void InsertInLine(std::size_t i, std::size_t at, std::string_view text);
  void SetLineSpan(std::size_t i, Span where) { lines_[i].Where = where; }
  void AddMessage(std::string_view text, std::int32_t position, Span item = {});
  void SetMessageItem(std::size_t i, Span item) { messages_[i].Where = item; }

  // Same lines, messages, positions and spans.
  friend bool operator==(const ParseResult& a, const ParseResult& b);

 private:
  // A growing run of plain values (the texts' bytes, the entries): appending is a bounds
  // check and a copy, which matters here, where a reading appends a hundred small
  // pieces. Held with malloc, so that it grows and shrinks in place (see Fit).
  template <class T>
  class Room {
   public:
    Room() = default;
    Room(const Room& other) { *this = other; }
    Room& operator=(const Room& other) {
      if (this == &other) return *this;
      size_ = 0;
      Reserve(other.size_);
      if (other.size_ > 0) std::memcpy(data_.get(), other.data_.get(), other.size_ * sizeof(T));
      size_ = other.size_;
      return *this;
    }
    Room(Room&& other) noexcept { *this = std::move(other); }
    Room& operator=(Room&& other) noexcept {
      data_ = std::move(other.data_);
      size_ = std::exchange(other.size_, 0);
      capacity_ = std::exchange(other.capacity_, 0);
      return *this;
    }

    std::size_t Size() const { return size_; }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + size_; }
    T& operator[](std::size_t i) { return data_.get()[i]; }
    const T& operator[](std::size_t i) const { return data_.get()[i]; }
    T& Last() { return data_.get()[size_ - 1]; }
    void Clear() { size_ = 0; }
    void Reserve(std::size_t capacity) {
      if (capacity > capacity_) Resize(capacity);
    }
    // Reserve for a guess at the worst case. Room of a quarter of it or more is kept as
    // it is: it is the last reading's, of nearly the same code (a key earlier), and the
    // reading made in it stays in memory already in use. Past it, it grows as it goes.
    void ReserveAbout(std::size_t capacity) {
      if (capacity_ < capacity / 4) Resize(capacity);
    }
    // Gives back the room a worst-case reserve left unused, past a margin of 1/32: the
    // next reading of the same code, a key later, is written here and mostly fits.
    void Fit() {
      const std::size_t keep = size_ + size_ / 32;
      if (capacity_ > keep && (capacity_ - keep) * sizeof(T) >= 64 * 1024 && capacity_ - size_ >= capacity_ / 8)
        Resize(keep);
    }
    void Append(const T* values, std::size_t count) {
      if (capacity_ - size_ < count) Grow(count);
      if (count > 0) std::memcpy(data_.get() + size_, values, count * sizeof(T));
      size_ += count;
    }
    T& Push() {
      if (capacity_ == size_) Grow(1);
      return *new (data_.get() + size_++) T();
    }
    void Insert(std::size_t at, const T* values, std::size_t count) {
      if (capacity_ - size_ < count) Grow(count);
      T* base = data_.get();
      if (size_ > at) std::memmove(base + at + count, base + at, (size_ - at) * sizeof(T));
      if (count > 0) std::memcpy(base + at, values, count * sizeof(T));
      size_ += count;
    }

   private:
    static_assert(std::is_trivially_copyable_v<T>);
    struct Free {
      void operator()(T* p) const { std::free(p); }
    };
    void Grow(std::size_t more) { Reserve(std::max(size_ + more, 2 * capacity_ + 64)); }
    void Resize(std::size_t capacity) {
      // Left uninitialised: the new room is written before it is read. Empty, the old
      // room is let go first rather than copied.
      if (size_ == 0) data_.reset();
      void* resized = std::realloc(data_.get(), capacity == 0 ? sizeof(T) : capacity * sizeof(T));
      if (resized == nullptr) {
        capacity_ = data_ ? capacity_ : 0;
        throw std::bad_alloc();
      }
      (void)data_.release();
      data_.reset(static_cast<T*>(resized));
      capacity_ = capacity;
    }
    std::unique_ptr<T, Free> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
  };
  using Buffer = Room<char>;

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
  static std::size_t Begin(const Room<Entry>& entries, std::size_t i) {
    return i == 0 ? 0 : entries[i - 1].End();
  }
  template <class Entry>
  static std::string_view Text(const Buffer& buffer, const Room<Entry>& entries, std::size_t i) {
    const std::size_t begin = Begin(entries, i);
    return {buffer.begin() + begin, entries[i].End() - begin};
  }
  template <class Entry>
  static std::size_t Length(const Room<Entry>& entries, std::size_t i) {
    return entries[i].End() - Begin(entries, i);
  }

  Buffer lineText_;
  Room<LineEntry> lines_;
  Buffer messageText_;
  Room<MessageEntry> messages_;
  std::size_t longestMessage_ = 0;
  std::int32_t largestPosition_ = 0;
};

// Reads `code` (UTF-8; ill-formed bytes read as U+FFFD). Never throws.
ParseResult ParseCode(std::string_view code);
// The same, written into the memory of `room`, a reading no longer wanted.
ParseResult ParseCode(std::string_view code, ParseResult room);

// `bytes` as well-formed UTF-8: each ill-formed part replaced as ParseCode reads it.
std::string ToValidUtf8(std::string_view bytes);

}  // namespace zendric
