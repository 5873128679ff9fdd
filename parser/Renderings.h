// A reading written out for people to keep or post: plain text, Markdown, BBCode and
// HTML. Every front end saves, copies and prints these, so each carries the code, every
// reading line (its display lines as line breaks) and every message with its position,
// and escapes what its format would otherwise take as markup.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "ZNParser.h"

namespace zendric {

enum class ReadingFormat {
  Text,          // the code, a paragraph per item, then the messages
  Markdown,      // the same, with the messages as a list
  BBCode,        // the code in bold, then as the text
  Html,          // a fragment: one <div class="zendric-reading">
  HtmlDocument,  // a whole page with its own small stylesheet
};

// Names for choosing a format by name (the command line, the page) and for showing it.
struct ReadingFormatName {
  ReadingFormat Format;
  std::string_view Key;        // "text", "markdown", "bbcode", "html"
  std::string_view Label;      // "Plain text", ...
  std::string_view Extension;  // "txt", "md", ...
};
inline constexpr std::array<ReadingFormatName, 4> ReadingFormats{{
    {ReadingFormat::Text, "text", "Plain text", "txt"},
    {ReadingFormat::Markdown, "markdown", "Markdown", "md"},
    {ReadingFormat::BBCode, "bbcode", "BBCode", "bbcode"},
    {ReadingFormat::HtmlDocument, "html", "HTML", "html"},
}};
std::optional<ReadingFormat> ReadingFormatByKey(std::string_view key);

// `code` and the reading's texts are UTF-8. An empty code is left out.
std::string RenderReading(ReadingFormat format, std::string_view code, const ParseResult& reading);

// A message as the renderings write it: "position N: " in front, unless the message
// names its position itself ("... at position 14 (Z)").
std::string MessageWithPosition(std::string_view message, std::int32_t position);

// The parts of a standalone HTML page around one or more fragments, for writers that
// put several readings on one page; RenderReading(HtmlDocument, ...) is these around
// one fragment.
std::string HtmlDocumentStart(std::string_view title);
std::string HtmlDocumentEnd();

// Text made safe inside HTML elements and attribute values.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace zendric
