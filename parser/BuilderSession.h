// One sitting at the builder, as the window's dialog and the page both hold it: the
// persona being built, every step taken on it for undo and redo, what it was opened
// from, and where the result goes back. The front ends draw it and hand it every
// choice; the rules of what a step is, what counts as a change and where the code
// goes are decided here once for both.
//
// 1. Opening. With a post in the field (the found-code bar would show), the builder
//    opens the code the bar offers: the one chosen in its list, else the first. Any
//    other field opens whole, its lines joined as the reader reads them.
// 2. Using. The code goes back in the place of what was opened: a found code's
//    characters in the field (from its "ZN2." to the end of its last line, blanks
//    behind it left), or the whole field. Nothing else in the field changes. When
//    the code is what was opened, the field stays exactly as it is.
// 3. Steps. Every choice, Add, Remove, Move, Random and opening is one step. Typing
//    into a text or number field is one step from the first key until the field
//    loses the focus (EndTyping), however many keys it took.
// 4. Changes. The persona is changed while its code differs from the one opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Builder.h"
#include "BuilderForm.h"
#include "FieldModel.h"

namespace zendric {

// The field range a found code takes in the field's text (rule 2), or an empty range
// at the field's end when the code is not found there.
FieldRange FoundCodeRange(std::u16string_view field, const FoundCode& code);

class BuilderSession {
 public:
  // A new persona: the species alone, nothing opened.
  BuilderSession();

  // Starts afresh from the field (rule 1), without any steps to undo: a new sitting.
  // `chosen` is the index of the code chosen in the bar's list; -1 for the one offered.
  // `read`, where the front end has read the field already, serves as its reading when
  // its text is the field's: a megabyte full of errors is then not read a second time.
  void Start(std::u16string_view field, std::ptrdiff_t chosen = -1, const FieldModel* read = nullptr);
  // The same as one step that can be undone, for a builder that stays open.
  void Open(std::u16string_view field, std::ptrdiff_t chosen = -1);

  const Persona& Current() const { return persona_; }
  std::string Code() const { return BuildCode(persona_); }
  // The reading of the code as built now, as a builder lists it. The reading made to
  // open a text serves its first listing: a megabyte full of errors takes about as
  // long to read as everything else the builder does to open it.
  const ReadingListing& Listing() const;
  // Whether the persona differs from what was opened (rule 4).
  bool Changed() const;

  // A value chosen in a field of the item at `at`: one step when it is taken.
  FieldAnswer Choose(std::size_t at, std::string_view key, std::string_view value);
  // A value typed into a text or number field: steps into the same field go together.
  FieldAnswer Type(std::size_t at, std::string_view key, std::string_view value);
  // The typed field lost the focus: the next value typed starts a new step.
  void EndTyping();

  // Adds an item of `tag` (nullptr: the species) behind `after` (-1: in front), by the
  // core's rule; returns the index of the item added.
  std::size_t Add(const TagRow* tag, std::ptrdiff_t after);
  void Remove(std::size_t at);
  // Returns where the item is now.
  std::size_t Move(std::size_t at, int step);
  void Random(std::mt19937& random);

  bool CanUndo() const;
  bool CanRedo() const;
  // Each returns the item to select afterwards (the one the step was about), or
  // nullopt when there was nothing to undo or redo.
  std::optional<std::size_t> Undo();
  std::optional<std::size_t> Redo();

  // What "Use this code" does to `field`: the range to replace and its new text, or
  // nullopt when the field stays as it is (rule 2). When the field is no longer the
  // one opened, the code goes where the text opened now stands, or behind the field's
  // end on a line of its own when that text is gone.
  struct Splice {
    FieldRange Range;
    std::u16string Text;
  };
  std::optional<Splice> Use(std::u16string_view field) const;
  // The field's whole text after Use.
  std::u16string Used(std::u16string_view field) const;

 private:
  // What the sitting was opened from: the field, where in it, and the code.
  struct Opened {
    std::u16string Field;
    FieldRange Range;
    bool Whole = true;      // the whole field was opened
    std::string Text;       // the code as it stood there
    std::string Code;       // the code of the persona opened
  };
  // The persona before a step, what it was opened from, and the item the step was about.
  struct Step {
    Persona State;
    std::shared_ptr<const Opened> From;
    std::size_t Item = 0;
  };
  void Record(Persona before, std::size_t item, std::shared_ptr<const Opened> from);
  void Record(Persona before, std::size_t item) { Record(std::move(before), item, opened_); }
  void Load(std::u16string_view field, std::ptrdiff_t chosen, const FieldModel* read = nullptr);
  std::optional<std::size_t> Swap(std::vector<Step>& from, std::vector<Step>& to);

  Persona persona_;
  std::shared_ptr<const Opened> opened_;
  // The listing of `listed_`, the code last listed (only the listing is kept: the
  // reading of a long code full of errors holds many times the code).
  mutable std::string listed_;
  mutable ReadingListing listing_;
  mutable bool hasListing_ = false;
  std::vector<Step> undo_, redo_;
  // Typing into one field: which, and the persona before its first key.
  bool typing_ = false;
  bool typingRecorded_ = false;
  std::size_t typingAt_ = 0;
  std::string typingKey_;
  Persona typingBefore_;
};

}  // namespace zendric
