// zendric-read run as a real program: argument and standard-input modes, JSON
// escaping and exit codes.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <vector>
#include <string>

#include "Sanitizers.h"

namespace {

struct Outcome {
  std::string out;
  std::string err;
  int status = -1;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// A file name of this test's own: CTest runs the cases in parallel.
std::string TempName(const std::string& what) {
  static int runs = 0;
  return ::testing::TempDir() + "/zr_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
         std::to_string(++runs) + "_" + what;
}

// Runs zendric-read with `args` (already quoted), feeding `input` to its standard input.
// `before` runs first in the same shell (a memory limit); `output` replaces the file
// that catches standard output.
Outcome RunReader(const std::string& args, const std::string& input = "", const std::string& before = "",
                  const std::string& output = "") {
  const std::string in = TempName("in"), out = output.empty() ? TempName("out") : output, err = TempName("err");
  std::ofstream(in, std::ios::binary) << input;
  const std::string command =
      before + std::string(ZENDRIC_READ) + " " + args + " <" + in + " >" + out + " 2>" + err;
  Outcome r;
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (output.empty()) r.out = Slurp(out);
  r.err = Slurp(err);
  // Some inputs run to megabytes: none is left behind in the temporary folder.
  std::remove(in.c_str());
  std::remove(err.c_str());
  if (output.empty()) std::remove(out.c_str());
  return r;
}

// The "code" of every JSON line, as written (escaped).
std::vector<std::string> JsonCodes(const std::string& out) {
  std::vector<std::string> codes;
  std::size_t at = 0;
  while ((at = out.find("{\"code\": \"", at)) != std::string::npos) {
    at += 10;
    codes.push_back(out.substr(at, out.find('"', at) - at));
  }
  return codes;
}

TEST(ZendricRead, JsonForArguments) {
  const Outcome r = RunReader("--json --no-fixes " + Quote("ZN2. X") + " " + Quote("ZN2. W+"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"code\": \"ZN2. X\", \"lines\": [], \"spans\": [], \"errors\": [{\"position\": 6, \"message\": "
            "\"Error: Invalid code at position 6 (X)\", \"item\": [6, 6]}]}\n"
            "{\"code\": \"ZN2. W+\", \"lines\": [\"Concerning my width: 'I'm a little on the broad side!'\"], "
            "\"spans\": [[6, 7]], \"errors\": []}\n");
  EXPECT_EQ(r.err, "");
}

TEST(ZendricRead, WholeCodesEndToEnd) {
  // A form block, quotes in the code, carriage returns in the lines; then a code
  // with slips, whose messages keep the order and positions of the reading.
  const Outcome r = RunReader("--json --no-fixes " + Quote("ZN2.Dw{Gf L3m} Gm Cbl^|wh,wgr+ B\"sparks\" M +2 Tc+[lasers]") + " " +
                              Quote("ZN2.~Mcw/Hew{Gm}[Rn] L.5m Cbl|xx:re Fr-x* X"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"code\": \"ZN2.Dw{Gf L3m} Gm Cbl^|wh,wgr+ B\\\"sparks\\\" M +2 Tc+[lasers]\", \"lines\": ["
            "\"I am a Western Dragon\\rSpecific to this form:\\rI'm a female\\rI am about 3 metres long\", "
            "\"I'm a male\", "
            "\"My colour: I am metallic blue with white stripes\\rMy wings are light green\", "
            "\"I breathe sparks\", "
            "\"My mating status: I'm seeing someone.\\rI'm far from my mate\\rI have 2 mates\", "
            "\"My technology index: I can find my way around most gadgets.\\rMy specialist field is: lasers\"], "
            "\"spans\": [[1, 14], [16, 17], [19, 30], [32, 40], [42, 45], [47, 57]], \"errors\": []}\n"
            "{\"code\": \"ZN2.~Mcw/Hew{Gm}[Rn] L.5m Cbl|xx:re Fr-x* X\", \"lines\": ["
            "\"I am a shapechanger who takes form of a Wolf, a Wood Elf\\rSpecific to this form:\\rI'm a male"
            " trapped in the body of:\\ra Skink\", "
            "\"My colour: I am blue with  stripes with red spots\", "
            "\"\\rI once got flamed off the newsgroup - and came back for more!\"], "
            "\"spans\": [[1, 20], [27, 35], [37, 41]], \"errors\": ["
            "{\"position\": 23, \"message\": \"Error: invalid code in length tag\", \"item\": [22, 25]}, "
            "{\"position\": 33, \"message\": \"Error: Invalid colour code (xx)\", \"item\": [27, 35]}, "
            "{\"position\": 39, \"message\": \"Error: invalid code in fruitiness tag\", \"item\": [37, 41]}, "
            "{\"position\": 43, \"message\": \"Error: Invalid code at position 43 (X)\", \"item\": [43, 43]}]}\n");
  EXPECT_EQ(r.err, "");
}

TEST(ZendricRead, ExitZeroWhenNoCodeGivesAMessage) {
  const Outcome r = RunReader("--json " + Quote("ZN2. H-"));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Me and the bank own my lair."), std::string::npos);
}

TEST(ZendricRead, JsonEscaping) {
  // A carriage return in a line is \r; quotes and backslashes are escaped; other
  // control characters (the NUL, a tab, a line feed) as \u00XX; ill-formed bytes
  // come out as U+FFFD so the output is always valid UTF-8.
  const Outcome r = RunReader("--json --no-fixes", std::string("ZN2. Fr\"a\\\" \tb\x01\xFF\n", 17));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"code\": \"ZN2. Fr\\\"a\\\\\\\" \\u0009b\\u0001\xEF\xBF\xBD\", \"lines\": "
            "[\"My fruitiness:\\ra\\\\\"], \"spans\": [[6, 11]], \"errors\": [{\"position\": 13, \"message\": "
            "\"Error: Invalid code at position 13 (\\u0009)\", \"item\": [13, 13]}, {\"position\": 14, \"message\": "
            "\"Error: Invalid code at position 14 (b)\", \"item\": [14, 14]}, {\"position\": 15, \"message\": "
            "\"Error: Invalid code at position 15 (\\u0001)\", \"item\": [15, 15]}, {\"position\": 16, \"message\": "
            "\"Error: Invalid code at position 16 (\xEF\xBF\xBD)\", \"item\": [16, 16]}]}\n");

  const Outcome nul = RunReader("--json --no-fixes", std::string("ZN2. \0\n", 7));
  EXPECT_EQ(nul.out,
            "{\"code\": \"ZN2. \\u0000\", \"lines\": [], \"spans\": [], \"errors\": [{\"position\": 6, \"message\": "
            "\"Error: Invalid code at position 6 (\\u0000)\", \"item\": [6, 6]}]}\n");
}

TEST(ZendricRead, StandardInputLines) {
  // CR, LF and CR LF each end a line; a byte-order mark at the very start is no
  // character; empty and blank lines are no codes and leave the status alone.
  struct LineCase {
    std::string name;
    std::string input;
    std::vector<std::string> codes;
    int status;
  };
  const std::string longLine = "ZN2.Dw" + std::string(65535 - 6, ' ');  // its CR ends the first 64 KB read
  const LineCase cases[] = {
      {"CR LF, LF, no final end", "ZN2. W\r\nZN2. H\nZN2. S", {"ZN2. W", "ZN2. H", "ZN2. S"}, 0},
      {"final CR", "ZN2.Dw Gf L12m\r", {"ZN2.Dw Gf L12m"}, 0},
      {"CR between codes", "ZN2.Dw Gm\rZN2.Dw Gf\n", {"ZN2.Dw Gm", "ZN2.Dw Gf"}, 0},
      {"LF CR is two line ends", "ZN2.Dw Gm\n\rZN2.Dw Gf", {"ZN2.Dw Gm", "ZN2.Dw Gf"}, 0},
      {"CR LF split between reads", longLine + "\r\nZN2.Dw Gf\n", {longLine, "ZN2.Dw Gf"}, 0},
      {"byte-order mark at the start", "\xEF\xBB\xBFZN2.Dw Gm\n", {"ZN2.Dw Gm"}, 0},
      {"byte-order mark later", "ZN2.Dw Gm\n\xEF\xBB\xBFZN2.Dw Gf\n", {"ZN2.Dw Gm", "\xEF\xBB\xBFZN2.Dw Gf"}, 1},
      {"blank lines", "\n \t \n\r\nZN2.Dw Gm\n\n\t", {"ZN2.Dw Gm"}, 0},
      {"only blank lines", " \n\t\r\n\r", {}, 0},
      {"a byte-order mark alone", "\xEF\xBB\xBF\n", {}, 0},
      {"a NUL is no blank", std::string("\0\n", 2), {"\\u0000"}, 1},
      {"a no-break space is no blank", "\xC2\xA0\n", {"\xC2\xA0"}, 1},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome r = RunReader("--json", c.input);
    EXPECT_EQ(JsonCodes(r.out), c.codes);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, "");
  }
}

TEST(ZendricRead, ArgumentsAreReadAsGiven) {
  // An empty or blank argument is a code, unlike an empty line; brackets, commas and
  // the byte that escapes them are kept as typed.
  const Outcome r = RunReader("--json '' ' ' '[ZN2.Dw]' '[a,b]' \"$(printf '\\001[x]')\" 'ZN2.Dw[Hd]' -- '-x'");
  EXPECT_EQ(JsonCodes(r.out),
            (std::vector<std::string>{"", " ", "[ZN2.Dw]", "[a,b]", "\\u0001[x]", "ZN2.Dw[Hd]", "-x"}));
  EXPECT_EQ(r.status, 1);
}

TEST(ZendricRead, TextModeShowsControlCharacters) {
  // Echoed code, result lines, messages and caret lines: no control character but
  // the line feeds of the layout reaches the terminal, and carets stay aligned.
  struct EscapeCase {
    std::string code;
    std::string expected;
  };
  const EscapeCase cases[] = {
      {"ZN2.Dw \x1B]0;PWNED\a",
       "ZN2.Dw \u241B]0;PWNED\u2407\n"
       "  I am a Western Dragon\n"
       "  I've got these appendages: \n"
       "  Concerning my width: 'I'm of perfectly normal girth!'\n"
       "position 8: Error: Invalid code at position 8 (\u241B)\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "           ^\n"
       "position 9: Error: Invalid code at position 9 (])\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "            ^\n"
       "position 10: Error: Invalid code at position 10 (0)\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "             ^\n"
       "position 11: Error: Invalid code at position 11 (;)\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "              ^\n"
       "position 15: Error: invalid code in native land tag\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "                  ^\n"
       "position 15: Error: Invalid code at position 15 (E)\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "                  ^\n"
       "position 16: Error: Invalid code at position 16 (D)\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "                   ^\n"
       "position 17: Error: Invalid code at position 17 (\u2407)\n"
       "    ZN2.Dw \u241B]0;PWNED\u2407\n"
       "                    ^\n"},
      // DEL, and a C1 control (CSI) as ESC '[': two columns, so the caret moves one more.
      {"ZN2.Dw B\"\xC2\x9B\x7F\" X",
       "ZN2.Dw B\"\u241B[\u2421\" X\n"
       "  I am a Western Dragon\n"
       "  I breathe \u241B[\u2421\n"
       "position 14: Error: Invalid code at position 14 (X)\n"
       "    ZN2.Dw B\"\u241B[\u2421\" X\n"
       "                  ^\n"},
      // A line feed from the code inside a result line.
      {"ZN2.Dw B\"a\nb\"", "ZN2.Dw B\"a\u240Ab\"\n  I am a Western Dragon\n  I breathe a\u240Ab\n"},
  };
  for (const EscapeCase& c : cases) {
    SCOPED_TRACE(c.code);
    const Outcome r = RunReader(Quote(c.code));
    EXPECT_EQ(r.out, c.expected);
  }
  // --json keeps its escapes.
  const Outcome json = RunReader("--json " + Quote("ZN2.Dw \x1B[2J"));
  EXPECT_EQ(JsonCodes(json.out), std::vector<std::string>{"ZN2.Dw \\u001b[2J"});
}

TEST(ZendricRead, OutOfMemoryLosesOnlyThatCode) {
#if ZENDRIC_ASAN
  GTEST_SKIP() << "AddressSanitizer cannot run under a memory limit";
#endif
  // 4 MB of '{' take far more than 200 MB to read (a message of some 40 bytes each);
  // the codes around it are read.
  const std::string input = "ZN2.Dw Gm\nZN2.Dw" + std::string(4000000, '{') + "\nZN2.Dw Gf\n";
  const struct {
    std::string args;
    std::string where;
  } modes[] = {{"--json", "line 2"}, {"", "line 2"}};
  // A found code takes at most 8 KB of its line: the finder reads that much of it.
  const Outcome found = RunReader("--find --json", input, "ulimit -v 200000; ");
  EXPECT_EQ(found.status, 1);
  EXPECT_EQ(found.err, "");
  EXPECT_EQ(JsonCodes(found.out).at(1), "ZN2.Dw" + std::string(8192 - 6, '{'));
  for (const auto& mode : modes) {
    SCOPED_TRACE(mode.args);
    const Outcome r = RunReader(mode.args, input, "ulimit -v 200000; ");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "zendric-read: " + mode.where + ": out of memory reading this code (4000006 bytes)\n");
    EXPECT_NE(r.out.find("I'm a male"), std::string::npos);
    EXPECT_NE(r.out.find("I'm a female"), std::string::npos);
    EXPECT_EQ(r.out.find("{{"), std::string::npos);
  }
}

// The peak resident memory, in kilobytes, of `zendric-read --find FILE`.
long FindPeakKilobytes(const std::string& file) {
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    execl(ZENDRIC_READ, ZENDRIC_READ, "--find", file.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 127)
    return -1;
  return usage.ru_maxrss;
}

TEST(ZendricRead, FindHoldsNoMoreOfALineThanACodeTakes) {
#if ZENDRIC_ASAN
  GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
  // A line 64 times as long costs the finder no more memory: it keeps only what can
  // still become a code.
  const struct {
    const char* what;
    std::string head;
  } lines[] = {{"no code", ""}, {"a code at the start", "ZN2.Dw Gm "}};
  for (const auto& line : lines) {
    SCOPED_TRACE(line.what);
    long peak[2] = {};
    for (int i = 0; i < 2; ++i) {
      const std::string file = TempName("line");
      std::ofstream(file, std::ios::binary) << line.head << std::string(i == 0 ? 1'000'000 : 64'000'000, 'x') << '\n';
      peak[i] = FindPeakKilobytes(file);
      std::remove(file.c_str());
    }
    ASSERT_GT(peak[0], 0);
    EXPECT_LT(peak[1], peak[0] * 3 / 2) << peak[0] << " KB for 1 MB, " << peak[1] << " KB for 64 MB";
  }
}

TEST(ZendricRead, WriteErrorStopsAtOnce) {
  std::string input;
  for (int i = 0; i < 200000; ++i) input += "ZN2.Dw Gm\n";
  const Outcome full = RunReader("--json", input, "", "/dev/full");
  EXPECT_EQ(full.status, 2);
  EXPECT_EQ(full.err, "zendric-read: cannot write the output: No space left on device\n");

  // A closed pipe: status 2 from the program itself, not death by SIGPIPE.
  const std::string in = TempName("in"), status = TempName("status");
  std::ofstream(in, std::ios::binary) << input;
  const std::string command = "{ " + std::string(ZENDRIC_READ) + " <" + in + " 2>/dev/null; echo $? >" + status +
                              "; } | head -c 10 >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Slurp(status), "2\n");
  std::remove(in.c_str());
  std::remove(status.c_str());
}

TEST(ZendricRead, NoInputNoCodes) {
  const Outcome r = RunReader("--json", "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

TEST(ZendricRead, TextRenderingShowsLinesAndCaret) {
  const Outcome r = RunReader(Quote("ZN2. Fr^ X"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "ZN2. Fr^ X\n"
            "  My fruitiness:\n"
            "    Old fruits know my name and what I'm like. / Squeeze me! I'm ripe!\n"
            "    I have joined, left, returned, etc.\n"
            "position 10: Error: Invalid code at position 10 (X)\n"
            "    ZN2. Fr^ X\n"
            "             ^\n");
}

TEST(ZendricRead, UsageErrors) {
  Outcome r = RunReader("--frobnicate");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("--frobnicate"), std::string::npos);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

  r = RunReader("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("--json"), std::string::npos);

  // After "--" an argument that looks like an option is a code.
  r = RunReader("--json -- -W");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("this isn't a Zendric 2"), std::string::npos);
}

TEST(ZendricRead, UnreadableInput) {
  // A directory as standard input cannot be read.
  const std::string command = std::string(ZENDRIC_READ) + " --json < / > /dev/null 2>/dev/null";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 2);
}

}  // namespace

namespace {

// --find over files named in a table: each case writes its files, runs the program
// with them (and standard input) and compares the whole output.
struct FindCase {
  std::string name;
  std::string args;  // "{0}", "{1}" stand for the files' paths
  std::vector<std::string> files;
  std::string input;
  std::string out;   // "{0}", "{1}" as in args
  int status;
};

std::string WithPaths(std::string text, const std::vector<std::string>& paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    std::string mark = std::to_string(i);
    mark.insert(mark.begin(), '{');
    mark += '}';
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), paths[i]);
  }
  return text;
}

TEST(ZendricRead, FindCodesInText) {
  const std::string signature = "Thanks!\r\n\r\n-- \r\nAlex\r\nZN2.Dw Gm\r\nL12m\r\n";
  const std::string reply = "> My code:\n> \tZN2.Dw Gm ZN2.Dx\n> Gf\n\nNice.\n";
  const FindCase cases[] = {
      {"standard input, JSON", "--find --json", {}, signature,
       "{\"code\": \"ZN2.Dw Gm L12m\", \"lines\": [\"I am a Western Dragon\", \"I'm a male\", "
       "\"I am about 12 metres long\"], \"spans\": [[1, 6], [8, 9], [11, 14]], \"errors\": [], "
       "\"source\": {\"file\": \"-\", \"line\": 5, \"column\": 1}}\n",
       0},
      {"a file, two codes on a line", "--json --no-fixes --find {0}", {reply}, "",
       "{\"code\": \"ZN2.Dw Gm\", \"lines\": [\"I am a Western Dragon\", \"I'm a male\"], \"spans\": [[1, 6], [8, 9]], "
       "\"errors\": [], \"source\": {\"file\": \"{0}\", \"line\": 2, \"column\": 4}}\n"
       "{\"code\": \"ZN2.Dx Gf\", \"lines\": [\"I am \", \"I'm a female\"], \"spans\": [[1, 6], [8, 9]], \"errors\": "
       "[{\"position\": 7, \"message\": \"Error: Species code Dx is invalid\", \"item\": [1, 6]}], \"source\": "
       "{\"file\": \"{0}\", \"line\": 2, \"column\": 14}}\n",
       1},
      {"text mode", "--find {0}", {"My code: ZN2.Dw X\n"}, "",
       "{0}:1:10: ZN2.Dw X\n"
       "  I am a Western Dragon\n"
       "position 8: Error: Invalid code at position 8 (X)\n"
       "    ZN2.Dw X\n"
       "           ^\n",
       1},
      {"'-' is standard input, between files", "--find --json {0} - {1}", {"ZN2.Dw", "x ZN2.Dw"}, "\n\nZN2.Dw",
       "{\"code\": \"ZN2.Dw\", \"lines\": [\"I am a Western Dragon\"], \"spans\": [[1, 6]], \"errors\": [], \"source\": "
       "{\"file\": \"{0}\", \"line\": 1, \"column\": 1}}\n"
       "{\"code\": \"ZN2.Dw\", \"lines\": [\"I am a Western Dragon\"], \"spans\": [[1, 6]], \"errors\": [], \"source\": "
       "{\"file\": \"-\", \"line\": 3, \"column\": 1}}\n"
       "{\"code\": \"ZN2.Dw\", \"lines\": [\"I am a Western Dragon\"], \"spans\": [[1, 6]], \"errors\": [], \"source\": "
       "{\"file\": \"{1}\", \"line\": 1, \"column\": 3}}\n",
       0},
      {"no code at all", "--find {0} {1}", {"zn2.Dw aZN2.Dw\n", ""}, "", "", 3},
      {"a file that cannot be read, then one that can", "--find --json {0}/missing {1}", {"", "ZN2.Dw"}, "",
       "{\"code\": \"ZN2.Dw\", \"lines\": [\"I am a Western Dragon\"], \"spans\": [[1, 6]], \"errors\": [], \"source\": "
       "{\"file\": \"{1}\", \"line\": 1, \"column\": 1}}\n",
       2},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> paths;
    for (const std::string& content : c.files) {
      paths.push_back(TempName("file"));
      std::ofstream(paths.back(), std::ios::binary) << content;
    }
    const Outcome r = RunReader(WithPaths(c.args, paths), c.input);
    EXPECT_EQ(r.out, WithPaths(c.out, paths));
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), c.status == 2 ? 1 : 0) << r.err;
    for (const std::string& path : paths) std::remove(path.c_str());
  }
}

}  // namespace

namespace {

TEST(ZendricRead, SpansAndItems) {
  // One [from, to] per line in code points, both ends included; each message's item,
  // null for the missing prefix.
  const struct {
    std::string code;
    std::string json;
  } cases[] = {
      {"Gm", "{\"code\": \"Gm\", \"lines\": [], \"spans\": [], \"errors\": [{\"position\": 1, \"message\": "
             "\"Error - this isn't a Zendric 2\", \"item\": null}]}\n"},
      {"ZN2. Gm", "{\"code\": \"ZN2. Gm\", \"lines\": [\"I'm a male\"], \"spans\": [[6, 7]], \"errors\": []}\n"},
      {"ZN2.Dw  Gm   L12m",
       "{\"code\": \"ZN2.Dw  Gm   L12m\", \"lines\": [\"I am a Western Dragon\", \"I'm a male\", "
       "\"I am about 12 metres long\"], \"spans\": [[1, 6], [9, 10], [14, 17]], \"errors\": []}\n"},
      {"ZN2.Dw B\"\xF0\x9F\x90\x89\" Gm",
       "{\"code\": \"ZN2.Dw B\\\"\xF0\x9F\x90\x89\\\" Gm\", \"lines\": [\"I am a Western Dragon\", "
       "\"I breathe \xF0\x9F\x90\x89\", \"I'm a male\"], \"spans\": [[1, 6], [8, 11], [13, 14]], \"errors\": []}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(RunReader("--json --no-fixes " + Quote(c.code)).out, c.json);
  }
}

TEST(ZendricRead, ExplainShowsTheSliceOfEachLine) {
  const struct {
    std::string code;
    std::string text;
  } cases[] = {
      // Lines continued over a carriage return stay in the reading's column.
      {"ZN2.Dw{Gf L3m} Gm Cbl^|wh,wgr+ M +2 X",
       "ZN2.Dw{Gf L3m} Gm Cbl^|wh,wgr+ M +2 X\n"
       "  ZN2.Dw{Gf L3m}  I am a Western Dragon\n"
       "                    Specific to this form:\n"
       "                    I'm a female\n"
       "                    I am about 3 metres long\n"
       "  Gm              I'm a male\n"
       "  Cbl^|wh,wgr+    My colour: I am metallic blue with white stripes\n"
       "                    My wings are light green\n"
       "  M +2            My mating status: I'm seeing someone.\n"
       "                    I'm far from my mate\n"
       "                    I have 2 mates\n"
       "position 37: Error: Invalid code at position 37 (X)\n"
       "    ZN2.Dw{Gf L3m} Gm Cbl^|wh,wgr+ M +2 X\n"
       "                                        ^\n"},
      // A slice past 24 columns is cut; control characters keep their one column.
      {"ZN2.Dw B\"a very long breath weapon name\" B\"\x1B\"",
       "ZN2.Dw B\"a very long breath weapon name\" B\"\u241B\"\n"
       "  ZN2.Dw                    I am a Western Dragon\n"
       "  B\"a very long breath ...  I breathe a very long breath weapon name\n"
       "  B\"\u241B\"                      I breathe \u241B\n"},
      {"Gm", "Gm\nposition 1: Error - this isn't a Zendric 2\n    Gm\n    ^\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(RunReader("--explain " + Quote(c.code)).out, c.text);
  }
  const Outcome both = RunReader("--explain --json ZN2.Dw");
  EXPECT_EQ(both.status, 2);
  EXPECT_EQ(both.out, "");
}

}  // namespace

namespace {

TEST(ZendricRead, JsonGivesEachErrorItsFixes) {
  const Outcome r = RunReader("--json " + Quote("ZN2.Dw X") + " " + Quote("Dw Gm") + " " + Quote("ZN2.Dw"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"code\": \"ZN2.Dw X\", \"lines\": [\"I am a Western Dragon\"], \"spans\": [[1, 6]], \"errors\": "
            "[{\"position\": 8, \"message\": \"Error: Invalid code at position 8 (X)\", \"item\": [8, 8], \"fixes\": "
            "[{\"from\": 8, \"to\": 8, \"text\": \"\", \"label\": \"Remove the stray X\"}]}]}\n"
            // an insertion before 1: from 1, to 0
            "{\"code\": \"Dw Gm\", \"lines\": [], \"spans\": [], \"errors\": [{\"position\": 1, \"message\": "
            "\"Error - this isn't a Zendric 2\", \"item\": null, \"fixes\": [{\"from\": 1, \"to\": 0, \"text\": "
            "\"ZN2.\", \"label\": \"Insert ZN2. at the start\"}]}]}\n"
            "{\"code\": \"ZN2.Dw\", \"lines\": [\"I am a Western Dragon\"], \"spans\": [[1, 6]], \"errors\": []}\n");
}

TEST(ZendricRead, FixMendsCodesAsFarAsFixesGo) {
  const struct {
    std::string args;
    int status;
    std::string out;
  } cases[] = {
      {Quote("zn2.dw gm L12q"), 0, "ZN2.Dw Gm L12m\n"},
      // nothing mends the prefix of a text that is no code
      {Quote("ZN2Dw") + " " + Quote("xyz"), 1, "ZN2.Dw\nxyz\n"},
      {"--json " + Quote("ZN2.Dw A(r+v- Gj"), 0,
       "{\"code\": \"ZN2.Dw A(r+v- Gj\", \"fixed\": \"ZN2.Dw A(r+v-) Gh\", \"applied\": [\"Insert ) to close the age "
       "group\", \"Replace j with h (hermaphrodite)\"], \"errors\": []}\n"},
      {"--json " + Quote("xyz"), 1,
       "{\"code\": \"xyz\", \"fixed\": \"xyz\", \"applied\": [], \"errors\": [{\"position\": 1, \"message\": "
       "\"Error - this isn't a Zendric 2\", \"item\": null, \"fixes\": []}]}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Outcome r = RunReader("--fix " + c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
  }
  EXPECT_EQ(RunReader("--fix --explain ZN2.Dw").status, 2);
}

}  // namespace
