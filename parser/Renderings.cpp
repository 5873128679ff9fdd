#include "Renderings.h"

#include <algorithm>

namespace zendric {
namespace {

// --- which characters make a word ---
// A position is named only where "position N" stands as its own word, so the
// characters either side are judged as a text editor judges letters and digits, by
// UTF-16 unit: a character beyond U+FFFF shows its surrogate, which is neither.

// The first code point of each run of ten decimal digits below U+10000.
constexpr char32_t DigitRuns[] = {0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66,
                                  0x0BE6, 0x0C66, 0x0CE6, 0x0D66, 0x0DE6, 0x0E50, 0x0ED0, 0x0F20, 0x1040,
                                  0x1090, 0x17E0, 0x1810, 0x1946, 0x19D0, 0x1A80, 0x1A90, 0x1B50, 0x1BB0,
                                  0x1C40, 0x1C50, 0xA620, 0xA8D0, 0xA900, 0xA9D0, 0xA9F0, 0xAA50, 0xABF0,
                                  0xFF10};

bool IsDigit(char32_t c) {
  return std::any_of(std::begin(DigitRuns), std::end(DigitRuns), [c](char32_t z) { return c >= z && c < z + 10; });
}

// Blocks of punctuation, symbols, marks and controls; everything else beyond Latin-1
// is taken for a letter, as most of it is.
struct Range {
  char32_t From, To;
};
constexpr Range NotLetters[] = {{0x0300, 0x036F}, {0x2000, 0x206F}, {0x20A0, 0x20FF}, {0x2190, 0x245F},
                                {0x2500, 0x2775}, {0x2794, 0x2BFF}, {0x2E00, 0x2E7F}, {0x3000, 0x3004},
                                {0xD800, 0xF8FF}, {0xFE00, 0xFE0F}, {0xFE30, 0xFE4F}, {0xFFF0, 0xFFFF}};

bool IsLetterOrNumber(char32_t c) {
  if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (c <= 0xFF) {
    return c == 0xAA || c == 0xB2 || c == 0xB3 || c == 0xB5 || c == 0xB9 || c == 0xBA ||
           (c >= 0xBC && c <= 0xBE) || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
  }
  if (c > 0xFFFF) return false;
  if (IsDigit(c)) return true;
  return std::none_of(std::begin(NotLetters), std::end(NotLetters),
                      [c](const Range& r) { return c >= r.From && c <= r.To; });
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

char32_t DecodeAt(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  char32_t c = lead & (0x3F >> more);
  for (int k = 1; k <= more && i + k < text.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  return c;
}

char32_t CodePointBefore(std::string_view text, std::size_t end) {
  std::size_t i = end - 1;
  while (i > 0 && IsContinuation(text[i])) --i;
  return DecodeAt(text, i);
}

// "... at position 14 (Z)" names 14; "position 140" and "xposition 14" do not.
bool NamesPosition(std::string_view message, std::int32_t position) {
  const std::string named = "position " + std::to_string(position);
  for (std::size_t at = message.find(named); at != std::string_view::npos; at = message.find(named, at + 1)) {
    const std::size_t after = at + named.size();
    const bool wordStart = at == 0 || !IsLetterOrNumber(CodePointBefore(message, at));
    if (wordStart && (after == message.size() || !IsDigit(DecodeAt(message, after)))) return true;
  }
  return false;
}

template <typename EachLine>
void ForEachDisplayLine(std::string_view line, EachLine each) {
  for (;;) {
    const std::size_t end = line.find('\r');
    each(line.substr(0, end), end == std::string_view::npos);
    if (end == std::string_view::npos) return;
    line.remove_prefix(end + 1);
  }
}

// Blanks and the controls that trimming takes as blanks.
bool IsBlank(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || (c >= 0x1C && c <= 0x20) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// --- plain text ---

std::string Text(std::string_view code, const ParseResult& r) {
  std::string out;
  if (!code.empty()) (out += code) += "\n\n";
  for (std::size_t i = 0; i < r.LineCount(); ++i) {
    std::string_view line = r.Line(i);
    ForEachDisplayLine(line, [&](std::string_view part, bool) { (out += part) += '\n'; });
    out += '\n';
  }
  for (std::size_t i = 0; i < r.MessageCount(); ++i) (out += MessageWithPosition(r.Message(i), r.MessagePosition(i))) += '\n';
  return out;
}

// --- Markdown ---
// Escapes are those both CommonMark and the classic Markdown take; characters only one
// of them would escape with a backslash go as character references, which both decode.

void AppendMarkdownLine(std::string& out, std::string_view line) {
  std::size_t i = 0;
  // Leading blanks would indent the line into a code block, or be trimmed away.
  while (i < line.size()) {
    const char32_t c = DecodeAt(line, i);
    if (!IsBlank(c)) break;
    out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ';';
    do ++i; while (i < line.size() && IsContinuation(line[i]));
  }
  // What would start a heading, a quote, a list or a rule at the head of a line.
  if (i < line.size()) {
    const char first = line[i];
    if (first == '#' || first == '>' || first == '-' || first == '+') {
      (out += '\\') += first;
      ++i;
    } else if (first == '=') {
      out += "&#61;";
      ++i;
    } else {
      std::size_t digits = i;
      while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
      if (digits > i && digits < line.size() && (line[digits] == '.' || line[digits] == ')')) {
        out.append(line.substr(i, digits - i));
        (out += '\\') += line[digits];
        i = digits + 1;
      }
    }
  }
  for (; i < line.size(); ++i) {
    const char c = line[i];
    switch (c) {
      case '\\': case '`': case '*': case '_': case '[': case ']': case '!':
        (out += '\\') += c;
        break;
      case '<': out += "&lt;"; break;
      case '&': out += "&amp;"; break;
      case '~': out += "&#126;"; break;
      case '|': out += "&#124;"; break;
      case '\t': out += "&#9;"; break;   // Markdown widens tabs to blanks
      case '\r': out += "&#13;"; break;  // a code's own carriage return would end the line
      default: out += c;
    }
  }
}

std::string Markdown(std::string_view code, const ParseResult& r) {
  std::string out;
  if (!code.empty()) {
    AppendMarkdownLine(out, code);
    out += "\n\n";
  }
  for (std::size_t i = 0; i < r.LineCount(); ++i) {
    // An empty display line cannot stand inside a paragraph: it ends one.
    bool open = false;
    ForEachDisplayLine(r.Line(i), [&](std::string_view part, bool last) {
      if (part.find_first_not_of(" \t") == std::string_view::npos) {
        if (open) out += "\n\n";
        open = false;
        return;
      }
      if (open) out += "  \n";  // two blanks at the end: a line break
      AppendMarkdownLine(out, part);
      open = true;
      if (last) out += "\n\n";
    });
  }
  for (std::size_t i = 0; i < r.MessageCount(); ++i) {
    out += "- ";
    AppendMarkdownLine(out, MessageWithPosition(r.Message(i), r.MessagePosition(i)));
    out += '\n';
  }
  return out;
}

// --- BBCode ---
// BBCode has no escape; a '[' that could open a tag is kept from it by an empty bold
// pair behind it, which boards show as nothing.

void AppendBBCodeText(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] != '[' || i + 1 == text.size()) continue;
    const char next = text[i + 1];
    const bool tagLike = next == '/' || next == '*' || (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z');
    if (tagLike) out += "[b][/b]";
  }
}

std::string BBCode(std::string_view code, const ParseResult& r) {
  std::string out;
  if (!code.empty()) {
    out += "[b]";
    AppendBBCodeText(out, code);
    out += "[/b]\n\n";
  }
  for (std::size_t i = 0; i < r.LineCount(); ++i) {
    ForEachDisplayLine(r.Line(i), [&](std::string_view part, bool) {
      AppendBBCodeText(out, part);
      out += '\n';
    });
    out += '\n';
  }
  for (std::size_t i = 0; i < r.MessageCount(); ++i) {
    AppendBBCodeText(out, MessageWithPosition(r.Message(i), r.MessagePosition(i)));
    out += '\n';
  }
  return out;
}

// --- HTML ---

std::string HtmlFragment(std::string_view code, const ParseResult& r) {
  std::string out = "<div class=\"zendric-reading\">\n";
  if (!code.empty()) {
    out += "<p class=\"zendric-code\"><code>";
    AppendHtmlEscaped(out, code);
    out += "</code></p>\n";
  }
  for (std::size_t i = 0; i < r.LineCount(); ++i) {
    out += "<p>";
    ForEachDisplayLine(r.Line(i), [&](std::string_view part, bool last) {
      AppendHtmlEscaped(out, part);
      if (!last) out += "<br>";
    });
    out += "</p>\n";
  }
  if (r.MessageCount() > 0) {
    out += "<ul class=\"zendric-messages\">\n";
    for (std::size_t i = 0; i < r.MessageCount(); ++i) {
      out += "<li>";
      AppendHtmlEscaped(out, MessageWithPosition(r.Message(i), r.MessagePosition(i)));
      out += "</li>\n";
    }
    out += "</ul>\n";
  }
  out += "</div>\n";
  return out;
}

constexpr std::string_view Stylesheet =
    "body { font: 16px/1.5 sans-serif; max-width: 44em; margin: 2em auto; padding: 0 1em; }\n"
    ".zendric-reading { margin-bottom: 2em; }\n"
    ".zendric-reading p, .zendric-reading li { white-space: pre-wrap; overflow-wrap: anywhere; }\n"
    ".zendric-code code { font: bold 1.05em monospace; }\n"
    ".zendric-reading p { margin: 0 0 0.7em; }\n"
    ".zendric-messages { color: #a40000; padding-left: 1.2em; }\n"
    "@media (prefers-color-scheme: dark) {\n"
    "  body { background: #1e1e1e; color: #e6e6e6; }\n"
    "  .zendric-messages { color: #ff8a80; }\n"
    "}\n";

}  // namespace

std::optional<ReadingFormat> ReadingFormatByKey(std::string_view key) {
  for (const ReadingFormatName& f : ReadingFormats)
    if (f.Key == key) return f.Format;
  return std::nullopt;
}

std::string MessageWithPosition(std::string_view message, std::int32_t position) {
  if (NamesPosition(message, position)) return std::string(message);
  std::string out = "position " + std::to_string(position) + ": ";
  out += message;
  return out;
}

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
}

std::string HtmlDocumentStart(std::string_view title) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  AppendHtmlEscaped(out, title);
  out += "</title>\n<style>\n";
  out += Stylesheet;
  out += "</style>\n</head>\n<body>\n";
  return out;
}

std::string HtmlDocumentEnd() { return "</body>\n</html>\n"; }

std::string RenderReading(ReadingFormat format, std::string_view code, const ParseResult& reading) {
  switch (format) {
    case ReadingFormat::Text: return Text(code, reading);
    case ReadingFormat::Markdown: return Markdown(code, reading);
    case ReadingFormat::BBCode: return BBCode(code, reading);
    case ReadingFormat::Html: return HtmlFragment(code, reading);
    case ReadingFormat::HtmlDocument: break;
  }
  std::string title = "Zendric 2 reading";
  if (!code.empty()) (title += ": ") += code;
  return HtmlDocumentStart(title) + HtmlFragment(code, reading) + HtmlDocumentEnd();
}

}  // namespace zendric
