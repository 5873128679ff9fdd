// The finder over a text too large for the code field, fed in pieces between events:
// the page lists the codes as they are met, and asks only for the rows it shows. The
// limit and every word shown about such a text are the window's, from the library.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "FieldModel.h"
#include "LargeText.h"

namespace zendric {
namespace {

using emscripten::val;

class TextFinder {
 public:
  // A piece of a JavaScript string; a pair of surrogates cut between two pieces is
  // still one character.
  int FeedText(const std::u16string& piece) {
    finder_.FeedUnits(piece);
    return Count();
  }
  // A piece of a file's bytes, read as the finder reads any input.
  int FeedBytes(const std::string& bytes) {
    finder_.FeedBytes(bytes);
    return Count();
  }
  int Finish() {
    finder_.Finish();
    return Count();
  }
  int Count() const { return static_cast<int>(finder_.Found().size()); }
  std::string Code(int i) const { return InRange(i) ? finder_.Found()[static_cast<std::size_t>(i)].Code : std::string(); }

  // {code, line, column, entry} of code i, the entry as the field's offer shows it:
  // read only when it is shown.
  val Row(int i) const {
    val row = val::object();
    if (!InRange(i)) return row;
    const OfferedCode offered = OfferOf(finder_.Found()[static_cast<std::size_t>(i)]);
    row.set("code", offered.Found.Code);
    row.set("line", offered.Found.Line);
    row.set("column", offered.Found.Column);
    row.set("entry", OfferEntry(offered));
    return row;
  }

 private:
  bool InRange(int i) const { return i >= 0 && i < Count(); }
  LargeTextFinder finder_;
};

// Sizes cross as JavaScript numbers.
std::uintmax_t Size(double n) { return n > 0 ? static_cast<std::uintmax_t>(n) : 0; }

bool FileTooLarge(double bytes) { return TooLargeForField(Size(bytes)); }
bool TextTooLarge(const std::u16string& text) { return TooLargeForField(Utf8BytesOf(text)); }
std::string Note(const std::string& what) { return LargeTextNote(what); }
std::string Looking(double bytes, int found) {
  return found < 0 ? LookingHeading(Size(bytes)) : LookingHeading(Size(bytes), static_cast<std::size_t>(found));
}
std::string Found(double bytes, int found, int firstLine) { return FoundHeading(Size(bytes), static_cast<std::size_t>(found), firstLine); }
std::string Stopped(double bytes, double done, double size, int found) {
  return StoppedHeading(Size(bytes), Size(done), Size(size), static_cast<std::size_t>(found));
}
std::string Taken(const std::string& what, double bytes, int line) { return TakenNote(what, Size(bytes), line); }

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
  emscripten::constant("largeTextBytes", static_cast<double>(MaxReadingBytes));
  emscripten::function("largeFileTooLarge", &FileTooLarge);
  emscripten::function("largeTextTooLarge", &TextTooLarge);
  emscripten::function("largeNote", &Note);
  emscripten::function("largeLooking", &Looking);
  emscripten::function("largeFound", &Found);
  emscripten::function("largeStopped", &Stopped);
  emscripten::function("largeTaken", &Taken);
}

}  // namespace zendric
