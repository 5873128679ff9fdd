// zendric-read run as a real program: argument and standard-input modes, JSON
// escaping and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <vector>
#include <string>

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

// Runs zendric-read with `args` (already quoted), feeding `input` to its standard input.
Outcome RunReader(const std::string& args, const std::string& input = "") {
  // CTest runs the cases in parallel: every run gets files of its own.
  static int runs = 0;
  const std::string dir = ::testing::TempDir() + "/zr_" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                          std::to_string(++runs);
  const std::string in = dir + "_in", out = dir + "_out", err = dir + "_err";
  std::ofstream(in, std::ios::binary) << input;
  const std::string command = std::string(ZENDRIC_READ) + " " + args + " <" + in + " >" + out + " 2>" + err;
  Outcome r;
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  auto slurp = [](const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  };
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

TEST(ZendricRead, JsonForArguments) {
  const Outcome r = RunReader("--json " + Quote("ZN2. X") + " " + Quote("ZN2. W+"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"code\": \"ZN2. X\", \"lines\": [], \"errors\": [{\"position\": 6, \"message\": "
            "\"Error: Invalid code at position 6 (X)\"}]}\n"
            "{\"code\": \"ZN2. W+\", \"lines\": [\"Concerning my width: 'I'm a little on the broad side!'\"], "
            "\"errors\": []}\n");
  EXPECT_EQ(r.err, "");
}

TEST(ZendricRead, WholeCodesEndToEnd) {
  // A form block, quotes in the code, carriage returns in the lines; then a code
  // with slips, whose messages keep the order and positions of the reading.
  const Outcome r = RunReader("--json " + Quote("ZN2.Dw{Gf L3m} Gm Cbl^|wh,wgr+ B\"sparks\" M +2 Tc+[lasers]") + " " +
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
            "\"errors\": []}\n"
            "{\"code\": \"ZN2.~Mcw/Hew{Gm}[Rn] L.5m Cbl|xx:re Fr-x* X\", \"lines\": ["
            "\"I am a shapechanger who takes form of a Wolf, a Wood Elf\\rSpecific to this form:\\rI'm a male"
            " trapped in the body of:\\ra Skink\", "
            "\"My colour: I am blue with  stripes with red spots\", "
            "\"\\rI once got flamed off the newsgroup - and came back for more!\"], "
            "\"errors\": ["
            "{\"position\": 23, \"message\": \"Error: invalid code in length tag\"}, "
            "{\"position\": 33, \"message\": \"Error: Invalid colour code (xx)\"}, "
            "{\"position\": 39, \"message\": \"Error: invalid code in fruitiness tag\"}, "
            "{\"position\": 43, \"message\": \"Error: Invalid code at position 43 (X)\"}]}\n");
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
  const Outcome r = RunReader("--json", std::string("ZN2. Fr\"a\\\" \tb\x01\xFF\n", 17));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"code\": \"ZN2. Fr\\\"a\\\\\\\" \\u0009b\\u0001\xEF\xBF\xBD\", \"lines\": "
            "[\"My fruitiness:\\ra\\\\\"], \"errors\": [{\"position\": 13, \"message\": "
            "\"Error: Invalid code at position 13 (\\u0009)\"}, {\"position\": 14, \"message\": "
            "\"Error: Invalid code at position 14 (b)\"}, {\"position\": 15, \"message\": "
            "\"Error: Invalid code at position 15 (\\u0001)\"}, {\"position\": 16, \"message\": "
            "\"Error: Invalid code at position 16 (\xEF\xBF\xBD)\"}]}\n");

  const Outcome nul = RunReader("--json", std::string("ZN2. \0\n", 7));
  EXPECT_EQ(nul.out,
            "{\"code\": \"ZN2. \\u0000\", \"lines\": [], \"errors\": [{\"position\": 6, \"message\": "
            "\"Error: Invalid code at position 6 (\\u0000)\"}]}\n");
}

TEST(ZendricRead, StandardInputLines) {
  // CR LF and LF both end a line; an empty line is a code; the empty text after the
  // final newline is not; a last line without a newline still counts.
  const Outcome r = RunReader("--json", "ZN2. W\r\n\nZN2. H\nZN2. S");
  EXPECT_EQ(r.status, 1);
  std::vector<std::string> codes;
  std::size_t at = 0;
  while ((at = r.out.find("{\"code\": \"", at)) != std::string::npos) {
    at += 10;
    codes.push_back(r.out.substr(at, r.out.find('"', at) - at));
  }
  EXPECT_EQ(codes, (std::vector<std::string>{"ZN2. W", "", "ZN2. H", "ZN2. S"}));
  EXPECT_NE(r.out.find("\"code\": \"\", \"lines\": [], \"errors\": [{\"position\": 1, \"message\": "
                       "\"Error - this isn't a Zendric 2\"}]"),
            std::string::npos);
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
