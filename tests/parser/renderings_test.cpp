// The reading written out as text, Markdown, BBCode and HTML: whole outputs for
// readings with markup characters, display lines, messages and none. The HTML and
// Markdown are also read back by real parsers in tests/cli/renderings_test.py.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "Renderings.h"
#include "ZNParser.h"

namespace zendric {
namespace {

struct Msg {
  std::string_view text;
  std::int32_t position;
};

struct Reading {
  std::string_view code;
  std::vector<std::string_view> lines;
  std::vector<Msg> messages;
};

ParseResult Build(const Reading& r) {
  ParseResult result;
  for (std::string_view line : r.lines) result.AddLine(line);
  for (const Msg& m : r.messages) result.AddMessage(m.text, m.position);
  return result;
}

struct Case {
  std::string_view name;
  Reading reading;
  std::string_view text, markdown, bbcode, html;
};

const Case Cases[] = {
    {"nothing", {"", {}, {}}, "", "", "", "<div class=\"zendric-reading\">\n</div>\n"},
    {"display lines and an empty one",
     {"ZN2.Dw", {"I am a Dragon\rSpecific to this form:\r\rI am long", "Last"}, {}},
     "ZN2.Dw\n\nI am a Dragon\nSpecific to this form:\n\nI am long\n\nLast\n\n",
     "ZN2.Dw\n\nI am a Dragon  \nSpecific to this form:\n\nI am long\n\nLast\n\n",
     "[b]ZN2.Dw[/b]\n\nI am a Dragon\nSpecific to this form:\n\nI am long\n\nLast\n\n",
     "<div class=\"zendric-reading\">\n<p class=\"zendric-code\"><code>ZN2.Dw</code></p>\n"
     "<p>I am a Dragon<br>Specific to this form:<br><br>I am long</p>\n<p>Last</p>\n</div>\n"},
    {"markup in the code and a quoted name",
     {"ZN2.Dw B\"<b>&[b]*_`~|\\\"", {"I breathe <b>&[b]*_`~|\\"}, {}},
     "ZN2.Dw B\"<b>&[b]*_`~|\\\"\n\nI breathe <b>&[b]*_`~|\\\n\n",
     "ZN2.Dw B\"&lt;b>&amp;\\[b\\]\\*\\_\\`&#126;&#124;\\\\\"\n\nI breathe &lt;b>&amp;\\[b\\]\\*\\_\\`&#126;&#124;\\\\\n\n",
     "[b]ZN2.Dw B\"<b>&[[b][/b]b]*_`~|\\\"[/b]\n\nI breathe <b>&[[b][/b]b]*_`~|\\\n\n",
     "<div class=\"zendric-reading\">\n<p class=\"zendric-code\"><code>ZN2.Dw B&quot;&lt;b&gt;&amp;[b]*_`~|\\&quot;"
     "</code></p>\n<p>I breathe &lt;b&gt;&amp;[b]*_`~|\\</p>\n</div>\n"},
    // What would start a block at the head of a line, and a '[' no tag follows.
    {"line starts",
     {"", {"# a\r> b\r- c\r+ d\r=\r12. e\r  f", "[1] [/x] [*]"}, {}},
     "# a\n> b\n- c\n+ d\n=\n12. e\n  f\n\n[1] [/x] [*]\n\n",
     "\\# a  \n\\> b  \n\\- c  \n\\+ d  \n&#61;  \n12\\. e  \n&#32;&#32;f\n\n\\[1\\] \\[/x\\] \\[\\*\\]\n\n",
     "# a\n> b\n- c\n+ d\n=\n12. e\n  f\n\n[1] [[b][/b]/x] [[b][/b]*]\n\n",
     "<div class=\"zendric-reading\">\n<p># a<br>&gt; b<br>- c<br>+ d<br>=<br>12. e<br>  f</p>\n"
     "<p>[1] [/x] [*]</p>\n</div>\n"},
    {"messages with and without their position",
     {"ZN2.Dw X", {"I am a Western Dragon"},
      {{"Error: Invalid code at position 8 (X)", 8}, {"Error: missing } at position 14", 3}}},
     "ZN2.Dw X\n\nI am a Western Dragon\n\nError: Invalid code at position 8 (X)\n"
     "position 3: Error: missing } at position 14\n",
     "ZN2.Dw X\n\nI am a Western Dragon\n\n- Error: Invalid code at position 8 (X)\n"
     "- position 3: Error: missing } at position 14\n",
     "[b]ZN2.Dw X[/b]\n\nI am a Western Dragon\n\nError: Invalid code at position 8 (X)\n"
     "position 3: Error: missing } at position 14\n",
     "<div class=\"zendric-reading\">\n<p class=\"zendric-code\"><code>ZN2.Dw X</code></p>\n"
     "<p>I am a Western Dragon</p>\n<ul class=\"zendric-messages\">\n"
     "<li>Error: Invalid code at position 8 (X)</li>\n<li>position 3: Error: missing } at position 14</li>\n"
     "</ul>\n</div>\n"},
};

TEST(Renderings, EachFormat) {
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.name);
    const ParseResult r = Build(c.reading);
    EXPECT_EQ(RenderReading(ReadingFormat::Text, c.reading.code, r), c.text);
    EXPECT_EQ(RenderReading(ReadingFormat::Markdown, c.reading.code, r), c.markdown);
    EXPECT_EQ(RenderReading(ReadingFormat::BBCode, c.reading.code, r), c.bbcode);
    EXPECT_EQ(RenderReading(ReadingFormat::Html, c.reading.code, r), c.html);
    // The page is the fragment inside a head that holds the escaped code as its title.
    const std::string page = RenderReading(ReadingFormat::HtmlDocument, c.reading.code, r);
    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\n"));
    EXPECT_NE(page.find(std::string("</head>\n<body>\n") + std::string(c.html) + "</body>\n</html>\n"),
              std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
  }
}

// "position N" counts only as a word of its own, judged by the characters either side.
TEST(Renderings, MessageNamesItsPosition) {
  const struct {
    std::string_view message;
    std::int32_t position;
    bool named;
  } cases[] = {
      {"at position 5", 5, true},       {"at position 50", 5, false},     {"at position 5 (X)", 5, true},
      {"xposition 5", 5, false},        {"\xC3\xA9position 5", 5, false}, {"(position 5)", 5, true},
      {"\xE2\x86\x92position 5", 5, true},   // an arrow is no letter
      {"\xF0\x9D\x92\xB3position 5", 5, true},  // beyond U+FFFF: judged by its surrogate
      {"position 5\xD9\xA3", 5, false},  // an Arabic-Indic digit continues the number
      {"position 5a", 5, true},         {"position 1", 5, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string shown = MessageWithPosition(c.message, c.position);
    EXPECT_EQ(shown, c.named ? std::string(c.message) : "position 5: " + std::string(c.message));
  }
}

TEST(Renderings, FormatsByName) {
  for (const ReadingFormatName& f : ReadingFormats) EXPECT_EQ(ReadingFormatByKey(f.Key), f.Format);
  EXPECT_EQ(ReadingFormatByKey("HTML"), std::nullopt);
  EXPECT_EQ(ReadingFormatByKey(""), std::nullopt);
}

}  // namespace
}  // namespace zendric
