// Finding codes again after an edit: whatever the edit, the codes, their places and
// their entries are those a search of the whole new text finds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "FieldModel.h"

namespace zendric {
namespace {

// The entry shows the line, the column, the first reading line and the messages.
std::vector<std::string> Described(const std::vector<OfferedCode>& codes) {
  std::vector<std::string> out;
  for (const OfferedCode& code : codes) out.push_back(OfferEntry(code) + " = " + code.Found.Code);
  return out;
}

void ExpectRefoundAsWhole(const std::u16string& before, const std::u16string& now) {
  const std::vector<OfferedCode> refound = RefindOffered(before, now, FindOffered(before));
  EXPECT_EQ(Described(refound), Described(FindOffered(now)));
}

std::u16string Lines(int count, const std::u16string& end) {
  std::u16string text;
  for (int i = 1; i <= count; ++i) text += u"ZN2.Dw L" + std::u16string(1, char16_t(u'0' + i % 10)) + u"m" + end;
  return text;
}

struct Edit {
  const char* name;
  std::u16string before;
  std::u16string now;
};

TEST(RefindOffered, Edits) {
  const std::u16string lf = Lines(60, u"\n");
  const std::u16string crlf = Lines(60, u"\r\n");
  const std::u16string cr = Lines(60, u"\r");
  // A code wrapped over lines, far down a text of codes: an edit below its first line
  // changes the code it joins.
  const std::u16string wrapped = lf + u"> ZN2.Dw Gf\n> L4m\n> Ac\n" + lf;
  const std::u16string quoted = u"Hi,\n> ZN2.Dw Gf\n> L4m\n\n-- \nZN2.Hd\n";
  const Edit edits[] = {
      {"insert a line", lf, lf.substr(0, 40) + u"ZN2.Hd Gm\n" + lf.substr(40)},
      {"delete a line", lf, lf.substr(0, 40) + lf.substr(50)},
      {"edit inside a code", lf, lf.substr(0, 44) + u" Gm" + lf.substr(44)},
      {"break a code's start", lf, lf.substr(0, 41) + u"x" + lf.substr(41)},
      {"join two lines", lf, lf.substr(0, 39) + lf.substr(40)},
      {"split a line", lf, lf.substr(0, 44) + u"\n" + lf.substr(44)},
      {"type at the end", lf, lf + u"Z"},
      {"delete at the start", lf, lf.substr(1)},
      {"all gone", lf, u""},
      {"from nothing", u"", lf},
      {"crlf: insert a line", crlf, crlf.substr(0, 44) + u"ZN2.Hd\r\n" + crlf.substr(44)},
      {"crlf: join two lines", crlf, crlf.substr(0, 42) + crlf.substr(44)},
      {"crlf: take the line feed", crlf, crlf.substr(0, 43) + crlf.substr(44)},
      {"crlf: take the carriage return", crlf, crlf.substr(0, 42) + crlf.substr(43)},
      {"cr: a line feed after one", cr, cr.substr(0, 42) + u"\n" + cr.substr(42)},
      {"cr: a carriage return before a line feed", lf, lf.substr(0, 10) + u"\r" + lf.substr(10)},
      {"U+2028 joins no line", lf, lf.substr(0, 10) + u"\u2028" + lf.substr(11)},
      {"U+2028 taken out", lf.substr(0, 10) + u"\u2028" + lf.substr(11), lf},
      {"wrapped: edit the continuation", wrapped, wrapped.substr(0, lf.size() + 15) + u"x" +
                                                       wrapped.substr(lf.size() + 15)},
      {"wrapped: break its first line", wrapped, wrapped.substr(0, lf.size() + 3) + u"-" + wrapped.substr(lf.size() + 3)},
      {"wrapped: a blank line ends it", wrapped, wrapped.substr(0, lf.size() + 12) + u"\n" +
                                                     wrapped.substr(lf.size() + 12)},
      {"quoted: the depth changes", quoted, u"Hi,\n> ZN2.Dw Gf\n>> L4m\n\n-- \nZN2.Hd\n"},
      {"a byte-order mark at the start", lf, u"\uFEFF" + lf},
      {"a U+FEFF down the text", lf, lf.substr(0, 40) + u"\uFEFF" + lf.substr(40)},
      {"a pair split and made whole", lf.substr(0, 40) + u"\U0001F409" + lf.substr(40),
       lf.substr(0, 40) + u"\xD83D" + lf.substr(40)},
  };
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.name);
    ExpectRefoundAsWhole(edit.before, edit.now);
    ExpectRefoundAsWhole(edit.now, edit.before);
  }
}

// A continuation may take 32 lines: an edit in the last of them changes a code that
// starts far above it.
TEST(RefindOffered, TheLongestContinuation) {
  std::u16string text = Lines(40, u"\n") + u"ZN2.Dw";
  for (int i = 0; i < 40; ++i) text += u"\nGm";
  text += u"\n" + Lines(40, u"\n");
  const std::size_t lastTaken = text.find(u"ZN2.Dw\n") + 7 + 31 * 3;
  for (const std::u16string& edit : {std::u16string(u"x"), std::u16string(u"\n\n"), std::u16string(u"")}) {
    std::u16string now = text.substr(0, lastTaken);
    now += edit;
    now += text.substr(lastTaken + (edit.empty() ? 3 : 0));
    ExpectRefoundAsWhole(text, now);
  }
}

// Random edits of random texts made of what the finder cares about.
TEST(RefindOffered, RandomEdits) {
  const std::u16string pieces[] = {u"ZN2.Dw", u"ZN2.", u" Gm", u" L4m", u"Ac", u"> ", u">> ", u"\n", u"\r\n", u"\r",
                                   u"-- ", u"aZN2.Dw", u"\t", u" ", u"{", u"\u2028", u"\U0001F409", u"\uFEFF", u"x"};
  std::mt19937 random(2026);
  const auto piece = [&] { return pieces[random() % std::size(pieces)]; };
  for (int round = 0; round < 3000; ++round) {
    std::u16string before;
    for (int n = static_cast<int>(random() % 120); n > 0; --n) before += piece();
    std::u16string now = before;
    for (int edits = 1 + static_cast<int>(random() % 2); edits > 0; --edits) {
      const std::size_t at = now.empty() ? 0 : random() % (now.size() + 1);
      const std::size_t cut = random() % 3 == 0 ? std::min<std::size_t>(random() % 12, now.size() - at) : 0;
      now = now.substr(0, at) + (random() % 4 == 0 ? u"" : piece()) + now.substr(at + cut);
    }
    SCOPED_TRACE(round);
    ExpectRefoundAsWhole(before, now);
    if (HasFailure()) return;
  }
}

// The field model offers what was refound as it offers what it finds itself.
TEST(RefindOffered, OffersAsTheModel) {
  const std::u16string fields[] = {u"ZN2.Dw Gm", u"ZN2.Dw\nZN2.Hd", u"ZN2.Dw\nGm", u"me: ZN2.Dw", u"nothing", u""};
  for (const std::u16string& field : fields) {
    SCOPED_TRACE(std::string(field.begin(), field.end()));
    const FieldModel model(field);
    const std::vector<OfferedCode> found = FindOffered(field);
    EXPECT_EQ(Described(model.Offers(found.size()) ? found : std::vector<OfferedCode>{}), Described(model.Offer()));
    EXPECT_EQ(model.MayOffer(), field != u"ZN2.Dw Gm");
  }
}

}  // namespace
}  // namespace zendric
