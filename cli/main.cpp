// zendric-read: reads Zendric 2 codes from the command line, standard input or
// files and writes their readings for a person, or as JSON Lines for scripts.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Finder.h"
#include "Fixes.h"
#include "Renderings.h"
#include "TerminalText.h"
#include "TextEncoding.h"
#include "TextFiles.h"
#include "ZNParser.h"

namespace {

constexpr std::string_view Description =
    "Reads Zendric 2 codes and writes what they say, followed by the errors found in them\n"
    "with their positions. Without CODE, standard input is read, one code per line; empty\n"
    "and blank lines are skipped.";

constexpr std::string_view Footer =
    "Exit status: 0 when no code gave a message, 1 when at least one did, 2 for a usage\n"
    "error, unreadable input, a failed write or a code too large for memory; with --find\n"
    "also 3 when no code was found at all. More in zendric-read(1).\n";

// --- output ---

// A write that failed (broken pipe, full disk): the reading stops at once.
struct WriteFailed {
  int error;
};

// Output goes out in pieces of at most about this size, and at the end of each code,
// so that a code's reading never waits in memory for the next code.
constexpr std::size_t DrainSize = std::size_t{1} << 16;

class Output {
 public:
  std::string& Text() { return text_; }
  void Add(std::string_view piece) {
    text_ += piece;
    if (text_.size() >= DrainSize) Drain();
  }
  void Room() {
    if (text_.size() >= DrainSize) Drain();
  }
  void Drain() {
    std::size_t done = 0;
    while (done < text_.size()) {
      const ssize_t n = ::write(STDOUT_FILENO, text_.data() + done, text_.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        text_.clear();
        throw WriteFailed{n < 0 ? errno : EIO};
      }
      done += static_cast<std::size_t>(n);
    }
    text_.clear();
  }

 private:
  std::string text_;
};

Output out;

void AppendJsonString(std::string_view text) {
  std::string& t = out.Text();
  t += '"';
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"') {
      t += "\\\"";
    } else if (c == '\\') {
      t += "\\\\";
    } else if (c == '\r') {
      t += "\\r";
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      t += escaped;
    } else {
      t += c;
    }
    out.Room();
  }
  t += '"';
}

// Text for a terminal, shown as TerminalText.h shows it. `text` is well-formed UTF-8.
// With a `lineBreak` (in result lines), a carriage return starts a new display line
// with it. With `output`, long texts go out as they are made.
void AppendVisibleTo(std::string& t, std::string_view text, std::string_view lineBreak, Output* output) {
  for (std::size_t i = 0; i < text.size();) {
    const auto u = static_cast<unsigned char>(text[i]);
    if (u == '\r' && !lineBreak.empty()) {
      t += lineBreak;
      ++i;
    } else if (u >= 0x20 && u < 0x7F) {
      t += text[i++];  // most of any text
    } else {
      i = zendric::AppendVisibleCharacter(t, text, i);
    }
    if (output != nullptr) output->Room();
  }
}

void AppendVisible(std::string_view text, std::string_view lineBreak = {}) {
  AppendVisibleTo(out.Text(), text, lineBreak, &out);
}

int VisibleWidth(std::string_view text, std::size_t i) { return zendric::VisibleColumns(text, i); }

bool StartsCodePoint(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

// Byte offsets of every 64th code point of a well-formed UTF-8 code, so that the
// text around a message's position is found without an array per code point.
class CodeIndex {
 public:
  explicit CodeIndex(std::string_view code) : code_(code) {
    for (std::size_t i = 0; i < code.size(); ++i) {
      if (!StartsCodePoint(code[i])) continue;
      if (length_ % Step == 0) marks_.push_back(i);
      ++length_;
    }
  }
  std::int64_t Length() const { return length_; }
  // Byte offset of code point `n` (from 0); the code's size at or past the end.
  std::size_t Offset(std::int64_t n) const {
    if (n >= length_) return code_.size();
    std::size_t i = marks_[static_cast<std::size_t>(n / Step)];
    for (std::int64_t k = n % Step; k > 0; --k) {
      ++i;
      while (!StartsCodePoint(code_[i])) ++i;
    }
    return i;
  }

 private:
  static constexpr std::int64_t Step = 64;
  std::string_view code_;
  std::vector<std::size_t> marks_;
  std::int64_t length_ = 0;
};

// The code around `position` with a caret under it, as compilers show a column.
// Long codes are cut to a window around the position so that a 1 MB code does not
// print 1 MB per message.
void AppendCaretLines(std::string_view code, const CodeIndex& index, std::int32_t position) {
  constexpr std::int64_t Context = 36;
  const std::int64_t at = position - 1;  // from 0; may lie past the end
  const std::int64_t from = at - Context > 0 ? at - Context : 0;
  const std::int64_t to = at + Context < index.Length() ? at + Context : index.Length();
  std::string& t = out.Text();
  t += "    ";
  if (from > 0) t += "...";
  const std::size_t begin = index.Offset(from);
  const std::size_t caretAt = index.Offset(at);
  const std::size_t end = index.Offset(to);
  std::int64_t columns = from > 0 ? 3 : 0;
  for (std::size_t i = begin; i < caretAt && i < end; ++i) {
    if (StartsCodePoint(code[i])) columns += VisibleWidth(code, i);
  }
  // A position past the end (a missing closing mark) points just behind the code.
  AppendVisible(code.substr(begin, end - begin));
  if (to < index.Length()) t += "...";
  t += "\n    ";
  t.append(static_cast<std::size_t>(columns), ' ');
  t += "^\n";
}

// A slice of the code made visible, cut to MaxSliceColumns with "...".
struct Slice {
  std::string text;
  std::int64_t columns = 0;
};
constexpr std::int64_t MaxSliceColumns = 24;

// Code points from..to (from 1, both included) of the code.
Slice SliceOf(std::string_view code, const CodeIndex& index, std::int64_t from, std::int64_t to) {
  Slice s;
  if (from < 1 || to < from) return s;
  const std::size_t begin = index.Offset(from - 1), end = index.Offset(to);
  std::int64_t all = 0;
  for (std::size_t i = begin; i < end && all <= MaxSliceColumns; ++i) {
    if (StartsCodePoint(code[i])) all += VisibleWidth(code, i);
  }
  const std::int64_t room = all <= MaxSliceColumns ? MaxSliceColumns : MaxSliceColumns - 3;
  std::size_t i = begin;
  while (i < end) {
    std::size_t next = i + 1;
    while (next < end && !StartsCodePoint(code[next])) ++next;
    const int w = VisibleWidth(code, i);
    if (s.columns + w > room) break;
    AppendVisibleTo(s.text, code.substr(i, next - i), {}, nullptr);
    s.columns += w;
    i = next;
  }
  if (i < end) {
    s.text += "...";
    s.columns += 3;
  }
  return s;
}

// [from, to], or null for no part of the code (the message about a missing prefix).
void AppendJsonSpan(zendric::Span span) {
  if (span.From == 0) {
    out.Text() += "null";
  } else {
    out.Text() += "[" + std::to_string(span.From) + ", " + std::to_string(span.To) + "]";
  }
}

// --- reading ---

// Where a code came from: an argument, a line of standard input, or a place in a
// file found by --find.
struct Source {
  std::string_view file = {};  // empty unless found by --find
  std::int64_t line = 0;
  std::int64_t column = 0;
  std::int64_t argument = 0;  // from 1 for a code given as an argument
};

std::string Where(const Source& s) {
  if (!s.file.empty()) return std::string(s.file) + ":" + std::to_string(s.line) + ":" + std::to_string(s.column);
  if (s.argument > 0) return "argument " + std::to_string(s.argument);
  return "line " + std::to_string(s.line);
}

// A name from the command line made safe for a terminal.
std::string VisibleName(std::string_view name) {
  std::string visible;
  AppendVisibleTo(visible, zendric::ToValidUtf8(name), {}, nullptr);
  return visible;
}

void Complain(const std::string& message) {
  out.Drain();  // what was read before stays ahead of the complaint
  std::fprintf(stderr, "zendric-read: %s\n", message.c_str());
}

struct Reader {
  bool json = false;
  std::optional<zendric::ReadingFormat> format;  // --format
  bool toTerminal = false;
  bool explain = false;
  bool fix = false;          // --fix: the code mended, as far as fixes go
  bool withFixes = true;     // --json: each error's fixes (off: --no-fixes)
  bool anyMessage = false;
  bool anyFailure = false;
  bool first = true;
  std::int64_t codes = 0;

  void Read(std::string_view code, const Source& source) {
    ++codes;
    try {
      if (fix) {
        WriteFixed(code);
        first = false;
        out.Drain();
        return;
      }
      const zendric::ParseResult r = zendric::ParseCode(code);
      const std::string valid = zendric::ToValidUtf8(code);
      if (r.MessageCount() > 0) anyMessage = true;
      if (json) {
        WriteJson(valid, r, source);
      } else if (format) {
        WriteRendering(valid, r);
      } else {
        WriteText(valid, r, source);
      }
      first = false;
    } catch (const std::bad_alloc&) {
      out.Text().clear();  // nothing of this code's reading goes out
      anyFailure = true;
      Complain(VisibleName(Where(source)) + ": out of memory reading this code (" + std::to_string(code.size()) +
               " bytes)");
    }
    out.Drain();
  }

  // --fix: one line per code, the mended code; with --json what was applied and what
  // is left.
  void WriteFixed(std::string_view code) {
    const zendric::FixRun run = zendric::FixRepeatedly(code);
    if (run.Reading.MessageCount() > 0) anyMessage = true;
    std::string& t = out.Text();
    if (!json) {
      AppendVisible(run.Fixed);
      t += '\n';
      return;
    }
    t += "{\"code\": ";
    AppendJsonString(zendric::ToValidUtf8(code));
    t += ", \"fixed\": ";
    AppendJsonString(run.Fixed);
    t += ", \"applied\": [";
    for (std::size_t i = 0; i < run.Applied.size(); ++i) {
      if (i > 0) t += ", ";
      AppendJsonString(run.Applied[i]);
    }
    t += "], \"errors\": ";
    AppendJsonErrors(run.Fixed, run.Reading);
    t += "}\n";
  }

  void AppendJsonErrors(std::string_view code, const zendric::ParseResult& r) {
    std::string& t = out.Text();
    t += '[';
    const std::vector<std::vector<zendric::Fix>> fixesOf =
        withFixes ? zendric::FixesForEach(code, r) : std::vector<std::vector<zendric::Fix>>();
    for (std::size_t i = 0; i < r.MessageCount(); ++i) {
      if (i > 0) t += ", ";
      t += "{\"position\": " + std::to_string(r.MessagePosition(i)) + ", \"message\": ";
      AppendJsonString(r.Message(i));
      t += ", \"item\": ";
      AppendJsonSpan(r.MessageItem(i));
      if (withFixes) {
        t += ", \"fixes\": [";
        const std::vector<zendric::Fix>& fixes = fixesOf[i];
        for (std::size_t k = 0; k < fixes.size(); ++k) {
          t += k > 0 ? ", {\"from\": " : "{\"from\": ";
          t += std::to_string(fixes[k].From) + ", \"to\": " + std::to_string(fixes[k].To) + ", \"text\": ";
          AppendJsonString(fixes[k].Text);
          t += ", \"label\": ";
          AppendJsonString(fixes[k].Label);
          t += '}';
        }
        t += ']';
      }
      t += '}';
      out.Room();
    }
    t += ']';
  }

  void WriteJson(std::string_view code, const zendric::ParseResult& r, const Source& source) {
    std::string& t = out.Text();
    t += "{\"code\": ";
    AppendJsonString(code);
    t += ", \"lines\": [";
    for (std::size_t i = 0; i < r.LineCount(); ++i) {
      if (i > 0) t += ", ";
      AppendJsonString(r.Line(i));
    }
    t += "], \"spans\": [";
    for (std::size_t i = 0; i < r.LineCount(); ++i) {
      if (i > 0) t += ", ";
      AppendJsonSpan(r.LineSpan(i));
      out.Room();
    }
    t += "], \"errors\": ";
    AppendJsonErrors(code, r);
    if (!source.file.empty()) {
      t += ", \"source\": {\"file\": ";
      AppendJsonString(zendric::ToValidUtf8(source.file));
      t += ", \"line\": " + std::to_string(source.line) + ", \"column\": " + std::to_string(source.column) + "}";
    }
    t += "}\n";
  }

  // --format: the reading as the window saves it; readings of several codes one after
  // the other, HTML ones as fragments of one page.
  void WriteRendering(std::string_view code, const zendric::ParseResult& r) {
    const bool page = *format == zendric::ReadingFormat::HtmlDocument;
    const std::string text = zendric::RenderReading(page ? zendric::ReadingFormat::Html : *format, code, r);
    if (!first && !page) out.Text() += '\n';
    if (!toTerminal) {
      out.Add(text);
      return;
    }
    // A terminal acts on control characters: they go as pictures, the line breaks stay.
    std::string_view rest = text;
    for (std::size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1)) {
      AppendVisible(rest.substr(0, end));
      out.Text() += '\n';
    }
    AppendVisible(rest);
  }

  void WriteText(std::string_view code, const zendric::ParseResult& r, const Source& source) {
    // Made before anything is written, so that running out of memory here loses nothing.
    const CodeIndex index(r.MessageCount() == 0 && !explain ? std::string_view() : code);
    std::string& t = out.Text();
    if (!first) t += '\n';
    if (!source.file.empty()) t += VisibleName(source.file) + ":" + std::to_string(source.line) + ":" +
                                   std::to_string(source.column) + ": ";
    AppendVisible(code);
    t += '\n';
    if (explain) {
      WriteExplained(code, index, r);
    } else {
      WriteLines(r);
    }
    for (std::size_t i = 0; i < r.MessageCount(); ++i) {
      t += "position " + std::to_string(r.MessagePosition(i)) + ": ";
      AppendVisible(r.Message(i));
      t += '\n';
      AppendCaretLines(code, index, r.MessagePosition(i));
    }
  }

  void WriteLines(const zendric::ParseResult& r) {
    std::string& t = out.Text();
    for (std::size_t i = 0; i < r.LineCount(); ++i) {
      t += "  ";
      AppendVisible(r.Line(i), "\n    ");
      t += '\n';
    }
  }

  // --explain: each line after the slice of the code it came from, in a column as
  // wide as the widest slice (up to MaxSliceColumns); lines of one item show its
  // slice once.
  void WriteExplained(std::string_view code, const CodeIndex& index, const zendric::ParseResult& r) {
    std::vector<Slice> slices;
    slices.reserve(r.LineCount());
    std::int64_t width = 0;
    for (std::size_t i = 0; i < r.LineCount(); ++i) {
      const auto span = r.LineSpan(i);
      const bool again = i > 0 && span == r.LineSpan(i - 1);
      slices.push_back(again ? Slice{} : SliceOf(code, index, span.From, span.To));
      width = std::max(width, slices.back().columns);
    }
    const std::string lineBreak = "\n" + std::string(static_cast<std::size_t>(width) + 6, ' ');
    std::string& t = out.Text();
    for (std::size_t i = 0; i < r.LineCount(); ++i) {
      t += "  ";
      t += slices[i].text;
      t.append(static_cast<std::size_t>(width - slices[i].columns + 2), ' ');
      AppendVisible(r.Line(i), lineBreak);
      t += '\n';
    }
  }
};

// --- input ---

constexpr std::size_t ReadSize = std::size_t{1} << 16;

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

// Standard input, one code per line. A line ends at a line feed, a carriage return,
// or both in that order. A line that cannot be held in memory is skipped to its end
// and reported.
class LineReader {
 public:
  explicit LineReader(Reader& reader) : reader_(reader) {}

  // Returns the error number of a failed read, or 0.
  int ReadAll(std::FILE* in) {
    std::vector<char> buffer(ReadSize);
    zendric::TextDecoder decoder;  // UTF-16 and UTF-8 by their mark
    std::string text;
    for (;;) {
      const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
      if (n == 0) break;
      text.clear();
      decoder.Feed(std::string_view(buffer.data(), n), text);
      Feed(text);
    }
    const int error = std::ferror(in) ? errno : 0;
    text.clear();
    decoder.Finish(text);
    Feed(text);
    if (!pending_.empty() || lostBytes_ > 0) EndLine(pending_);
    return error;
  }

 private:
  void Feed(std::string_view bytes) {
    std::size_t i = 0;
    if (afterCarriageReturn_ && !bytes.empty()) {
      if (bytes[0] == '\n') i = 1;
      afterCarriageReturn_ = false;
    }
    while (i < bytes.size()) {
      std::size_t end = i;
      while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
      const std::string_view part = bytes.substr(i, end - i);
      if (end == bytes.size()) {
        Keep(part);
        break;
      }
      if (pending_.empty() && lostBytes_ == 0) {
        EndLine(part);  // the whole line is in this piece: no copy
      } else {
        Keep(part);
        EndLine(pending_);
      }
      if (bytes[end] == '\r') {
        if (end + 1 == bytes.size()) {
          afterCarriageReturn_ = true;
        } else if (bytes[end + 1] == '\n') {
          ++end;
        }
      }
      i = end + 1;
    }
  }

  void Keep(std::string_view part) {
    if (lostBytes_ > 0) {
      lostBytes_ += part.size();
      return;
    }
    try {
      pending_ += part;
    } catch (const std::bad_alloc&) {
      lostBytes_ = pending_.size() + part.size();
      std::string().swap(pending_);
    }
  }

  void EndLine(std::string_view line) {
    if (lostBytes_ > 0) {
      reader_.anyFailure = true;
      Complain("line " + std::to_string(lineNumber_) + ": out of memory reading this code (" +
               std::to_string(lostBytes_) + " bytes)");
    } else if (!IsBlankLine(line)) {
      reader_.Read(line, Source{.line = lineNumber_});
    }
    lostBytes_ = 0;
    pending_.clear();
    ++lineNumber_;
  }

  Reader& reader_;
  std::string pending_;
  std::size_t lostBytes_ = 0;
  bool afterCarriageReturn_ = false;
  std::int64_t lineNumber_ = 1;
};

// --find: every code found in one file ("-" is standard input). Returns false when
// the file could not be read to its end.
bool FindInFile(Reader& reader, const std::string& name) {
  const bool standardInput = name == "-";
  if (const std::string why = standardInput ? std::string() : zendric::WhyNotReadable(name, zendric::FileUse::Stream);
      !why.empty()) {
    Complain(VisibleName(name) + ": " + why);
    return false;
  }
  std::FILE* in = standardInput ? stdin : std::fopen(name.c_str(), "rb");
  if (in == nullptr) {
    Complain(VisibleName(name) + ": " + std::strerror(errno));
    return false;
  }
  bool ok = true;
  try {
    zendric::CodeFinder finder([&](const zendric::FoundCode& found) {
      reader.Read(found.Code, Source{.file = name, .line = found.Line, .column = found.Column});
    });
    std::vector<char> buffer(ReadSize);
    for (;;) {
      const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
      if (n == 0) break;
      finder.Feed(std::string_view(buffer.data(), n));
    }
    if (std::ferror(in)) {
      Complain(VisibleName(name) + ": " + std::strerror(errno));
      ok = false;
    }
    finder.Finish();
  } catch (const std::bad_alloc&) {
    Complain(VisibleName(name) + ": out of memory finding codes; the rest of the file is not read");
    ok = false;
  }
  if (!standardInput) std::fclose(in);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe shows as a failed write, which ends the reading with status 2.
  std::signal(SIGPIPE, SIG_IGN);

  Reader reader;
  bool find = false;
  std::vector<std::string> arguments;
  CLI::App app{std::string(Description), "zendric-read"};
  app.footer(std::string(Footer));
  CLI::Option* json = app.add_flag("--json", reader.json,
               "one JSON object per code and line:\n"
               "{\"code\": ..., \"lines\": [...], \"errors\": [{\"position\": N, \"message\": ...,\n"
               "\"fixes\": [{\"from\": F, \"to\": T, \"text\": ..., \"label\": ...}]}]};\n"
               "positions count characters (code points) from 1");
  app.add_flag("--no-fixes", [&reader](std::int64_t) { reader.withFixes = false; },
               "with --json, leave out the fixes (faster on codes with many errors)")
      ->needs(json);
  CLI::Option* fix = app.add_flag("--fix", reader.fix,
               "write each code mended: the first fix of the first error that has\n"
               "one, again and again (at most 100); exit status 0 when every mended\n"
               "code reads without a message. With --json: {\"code\", \"fixed\",\n"
               "\"applied\": [labels], \"errors\": [what is left]}");
  CLI::Option* explain = app.add_flag("--explain", reader.explain,
               "in text mode, each line of the reading after the part of\n"
               "the code it came from")
      ->excludes(json)
      ->excludes(fix);
  std::string formatKey;
  std::string formatKeys;
  for (const zendric::ReadingFormatName& f : zendric::ReadingFormats)
    formatKeys += (formatKeys.empty() ? "" : "|") + std::string(f.Key);
  app.add_option("--format", formatKey,
                 "write each reading as the window saves it: " + formatKeys + "\n"
                 "(html: one page holding every reading)")
      ->excludes(json)
      ->excludes(explain)
      ->excludes(fix)
      ->check([](const std::string& key) {
        return zendric::ReadingFormatByKey(key) ? std::string() : "not a format: " + VisibleName(key);
      });
  app.add_flag("--find", find,
               "read the codes found in the text of each FILE (standard input\n"
               "without FILE, or for '-'): signatures, quoted replies, posts");
  app.add_option("CODE", arguments, "a code to read, such as 'ZN2.Dw Gm L12m'; with --find, a FILE");
  // Every argument is one code as typed, but the option library reads an argument in
  // brackets, such as "[a,b]", as a list and drops the brackets. No option starts with
  // '[', so such arguments (and any that start with the escape byte itself) go in
  // behind an escape byte, which comes off again after parsing.
  constexpr char Escape = '\x01';
  std::vector<std::string> typed(argv, argv + argc);
  std::vector<const char*> given;
  for (std::string& argument : typed) {
    if (&argument != &typed.front() && (argument.starts_with('[') || argument.starts_with(Escape)))
      argument.insert(argument.begin(), Escape);
    given.push_back(argument.c_str());
  }
  try {
    app.parse(argc, given.data());
    for (std::string& argument : arguments)
      if (argument.starts_with(Escape)) argument.erase(0, 1);
  } catch (const CLI::CallForHelp&) {
    std::fputs(app.help().c_str(), stdout);
    return 0;
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "zendric-read: %s (try --help)\n", VisibleName(e.what()).c_str());
    return 2;
  }

  if (!formatKey.empty()) {
    reader.format = zendric::ReadingFormatByKey(formatKey);
    reader.toTerminal = ::isatty(STDOUT_FILENO) == 1;
  }
  const bool page = reader.format == zendric::ReadingFormat::HtmlDocument;
  // Made once the options are known: a code given alone names the page.
  const auto pageStart = [&] {
    if (!page) return;
    std::string title = arguments.size() == 1 && !find ? "Zendric 2 reading: " + zendric::ToValidUtf8(arguments[0])
                                                        : std::string("Zendric 2 readings");
    out.Add(zendric::HtmlDocumentStart(title));
  };
  const auto pageEnd = [&] {
    if (page) out.Add(zendric::HtmlDocumentEnd());
    out.Drain();
  };

  try {
    pageStart();
    if (find) {
      bool unreadable = false;
      if (arguments.empty()) arguments.emplace_back("-");
      for (const std::string& name : arguments) unreadable |= !FindInFile(reader, name);
      pageEnd();
      if (unreadable || reader.anyFailure) return 2;
      if (reader.codes == 0) return 3;
      return reader.anyMessage ? 1 : 0;
    }
    if (!arguments.empty()) {
      std::int64_t n = 0;
      for (const std::string& code : arguments) reader.Read(code, Source{.argument = ++n});
    } else if (const int error = LineReader(reader).ReadAll(stdin); error != 0) {
      Complain(std::string("cannot read standard input: ") + std::strerror(error));
      return 2;
    }
    pageEnd();
  } catch (const WriteFailed& failed) {
    std::fprintf(stderr, "zendric-read: cannot write the output: %s\n", std::strerror(failed.error));
    return 2;
  }
  if (reader.anyFailure) return 2;
  return reader.anyMessage ? 1 : 0;
}
