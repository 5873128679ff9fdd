// zendric-read: reads Zendric 2 codes from the command line or standard input and
// writes their readings for a person, or as JSON Lines for scripts.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "ZNParser.h"

namespace {

constexpr std::string_view Usage =
    "Usage: zendric-read [--json] [CODE ...]\n"
    "\n"
    "Reads Zendric 2 codes and writes what they say, followed by the errors found\n"
    "in them with their positions.\n"
    "\n"
    "  CODE     a code to read, such as 'ZN2.Dw Gm L12m'; give several to read several.\n"
    "           Without CODE, standard input is read, one code per line.\n"
    "  --json   write one JSON object per code and line:\n"
    "           {\"code\": ..., \"lines\": [...], \"errors\": [{\"position\": N, \"message\": ...}]}\n"
    "           Positions count characters (code points) from 1.\n"
    "  --help   show this text.\n"
    "  --       every argument after this one is a code.\n"
    "\n"
    "Exit status: 0 when no code gave a message, 1 when at least one did,\n"
    "2 for a usage error or unreadable input.\n";

void Write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\r') {
      out += "\\r";
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

void WriteJson(std::string_view code, const zendric::ParseResult& r) {
  std::string out = "{\"code\": ";
  AppendJsonString(out, zendric::ToValidUtf8(code));
  out += ", \"lines\": [";
  for (std::size_t i = 0; i < r.LineCount(); ++i) {
    if (i > 0) out += ", ";
    AppendJsonString(out, r.Line(i));
  }
  out += "], \"errors\": [";
  for (std::size_t i = 0; i < r.MessageCount(); ++i) {
    if (i > 0) out += ", ";
    out += "{\"position\": " + std::to_string(r.MessagePosition(i)) + ", \"message\": ";
    AppendJsonString(out, r.Message(i));
    out += '}';
  }
  out += "]}\n";
  Write(out);
}

// Splits well-formed UTF-8 into code points, each kept as its own bytes.
std::vector<std::string> CodePoints(std::string_view utf8) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = 1;
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead >= 0xF0) n = 4;
    else if (lead >= 0xE0) n = 3;
    else if (lead >= 0xC0) n = 2;
    out.emplace_back(utf8.substr(i, n));
    i += n;
  }
  return out;
}

// The code around `position` with a caret under it, as compilers show a column.
// Long codes are cut to a window around the position so that a 1 MB code does
// not print 1 MB per message.
std::string CaretLines(const std::vector<std::string>& chars, std::int32_t position) {
  constexpr std::int64_t Context = 36;
  const auto length = static_cast<std::int64_t>(chars.size());
  const std::int64_t at = position - 1;  // 0-based; may lie past the end
  const std::int64_t from = at - Context > 0 ? at - Context : 0;
  const std::int64_t to = at + Context < length ? at + Context : length;
  std::string code = "    ", caret = "    ";
  if (from > 0) {
    code += "...";
    caret += "   ";
  }
  for (std::int64_t i = from; i < to; ++i) {
    const std::string& ch = chars[static_cast<std::size_t>(i)];
    // Control characters would break the column; show them as blanks.
    code += static_cast<unsigned char>(ch[0]) < 0x20 ? std::string(" ") : ch;
  }
  if (to < length) code += "...";
  for (std::int64_t i = from; i < at; ++i) caret += ' ';
  caret += '^';
  return code + "\n" + caret + "\n";
}

void WriteText(std::string_view code, const zendric::ParseResult& r, bool first) {
  const std::string valid = zendric::ToValidUtf8(code);
  std::string out = first ? "" : "\n";
  out += valid + "\n";
  for (std::size_t l = 0; l < r.LineCount(); ++l) {
    const std::string_view line = r.Line(l);
    out += "  ";
    for (char c : line) out += c == '\r' ? std::string("\n    ") : std::string(1, c);
    out += '\n';
  }
  if (r.MessageCount() > 0) {
    const auto chars = CodePoints(valid);
    for (std::size_t i = 0; i < r.MessageCount(); ++i) {
      out += "position " + std::to_string(r.MessagePosition(i)) + ": ";
      out += r.Message(i);
      out += "\n";
      out += CaretLines(chars, r.MessagePosition(i));
    }
  }
  Write(out);
}

struct Reader {
  bool json = false;
  bool anyMessage = false;
  bool first = true;

  void Read(std::string_view code) {
    const zendric::ParseResult r = zendric::ParseCode(code);
    if (r.MessageCount() > 0) anyMessage = true;
    if (json) {
      WriteJson(code, r);
    } else {
      WriteText(code, r, first);
    }
    first = false;
  }
};

int UsageError(const std::string& message) {
  std::fprintf(stderr, "zendric-read: %s (try --help)\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Reader reader;
  std::vector<std::string_view> codes;
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      reader.json = true;
    } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
      Write(Usage);
      return 0;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option '" + std::string(arg) + "'");
    } else {
      codes.push_back(arg);
    }
  }

  if (!codes.empty()) {
    for (std::string_view code : codes) reader.Read(code);
  } else {
    // One code per line, read as it comes so that large inputs stream.
    char* line = nullptr;
    std::size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, stdin)) >= 0) {
      std::string_view code(line, static_cast<std::size_t>(length));
      if (code.ends_with('\n')) {
        code.remove_suffix(1);
        if (code.ends_with('\r')) code.remove_suffix(1);
      }
      reader.Read(code);
    }
    const int readError = std::ferror(stdin) ? errno : 0;
    std::free(line);
    if (readError != 0) {
      std::fflush(stdout);
      std::fprintf(stderr, "zendric-read: cannot read standard input: %s\n", std::strerror(readError));
      return 2;
    }
  }

  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "zendric-read: cannot write the output: %s\n", std::strerror(errno));
    return 2;
  }
  return reader.anyMessage ? 1 : 0;
}
