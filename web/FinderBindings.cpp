// The finder over a text too large for the code field, fed in pieces between events:
// the page lists the codes as they are met, and asks only for the rows it shows.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <vector>

#include "FieldModel.h"
#include "Finder.h"
#include "ZNParser.h"

namespace zendric {
namespace {

using emscripten::val;

class TextFinder {
 public:
  TextFinder() : finder_([this](const FoundCode& code) { found_.push_back(code); }) {}
  TextFinder(const TextFinder&) = delete;
  TextFinder& operator=(const TextFinder&) = delete;

  // A piece of a JavaScript string. A high surrogate at its end waits for the next
  // piece, so that a pair cut in two is still one character.
  int FeedText(const std::u16string& piece) {
    std::u16string units;
    units.reserve(piece.size() + 1);
    if (heldSurrogate_ != 0) units.push_back(heldSurrogate_);
    units += piece;
    heldSurrogate_ = 0;
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
      heldSurrogate_ = units.back();
      units.pop_back();
    }
    finder_.Feed(FieldAsUtf8(units));
    return Count();
  }

  // A piece of a file's bytes, read as the finder reads any input.
  int FeedBytes(const std::string& bytes) {
    finder_.Feed(bytes);
    return Count();
  }

  int Finish() {
    if (heldSurrogate_ != 0) finder_.Feed(FieldAsUtf8(std::u16string(1, heldSurrogate_)));
    heldSurrogate_ = 0;
    finder_.Finish();
    return Count();
  }

  int Count() const { return static_cast<int>(found_.size()); }

  std::string Code(int i) const { return InRange(i) ? found_[static_cast<std::size_t>(i)].Code : std::string(); }

  // {code, line, column, entry} of code i, the entry as the field's offer shows it:
  // read only when it is shown.
  val Row(int i) const {
    val row = val::object();
    if (!InRange(i)) return row;
    const OfferedCode offered = OfferOf(found_[static_cast<std::size_t>(i)]);
    row.set("code", offered.Found.Code);
    row.set("line", offered.Found.Line);
    row.set("column", offered.Found.Column);
    row.set("entry", OfferEntry(offered));
    return row;
  }

 private:
  bool InRange(int i) const { return i >= 0 && i < Count(); }

  std::vector<FoundCode> found_;
  CodeFinder finder_;
  char16_t heldSurrogate_ = 0;
};

}  // namespace

EMSCRIPTEN_BINDINGS(zendric_text_finder) {
  emscripten::class_<TextFinder>("TextFinder")
      .constructor<>()
      .function("feedText", &TextFinder::FeedText)
      .function("feedBytes", &TextFinder::FeedBytes)
      .function("finish", &TextFinder::Finish)
      .function("count", &TextFinder::Count)
      .function("code", &TextFinder::Code)
      .function("row", &TextFinder::Row);
}

}  // namespace zendric
