// render, check, uses, diff and copy's dependencies: exit statuses and output forms. What the
// findings, uses and differences are is tested in tests/symbols.
#include <filesystem>
#include <regex>

#include "symbols/Windows1252.h"
#include "tests/cli/CliTest.h"
#include "tests/metafile/SymbolBytes.h"

namespace runebin::testing {
namespace {

// Names come out in UTF-8 (the euro sign is byte 0x80 in the file).
TEST_F(CliTest, ReadingCommandsExitStatusesAndFormats) {
  const Bytes square = PathRec(15, 1, 1, true, {0, 0, 1, 0, 1, 1});
  const std::string a = Write("a.pvs", Drawing({Definition("A", {square, Reference("B")}),
                                                Definition("B"), Reference("A"), Reference("B")}));
  const std::string b = Write("b.pvs", Drawing({Definition("B"), Reference("\x80X")}));
  const FileState before = StateOf(a);
  const auto inJson = [](const std::string& path) {  // a Windows path's backslashes escaped
    return std::regex_replace(ValidUtf8(path), std::regex(R"(\\)"), R"(\\)");
  };
  const std::string bInJson = inJson(b);
  // Quotes, backslashes, control characters and unassigned bytes escaped; too wide to be a number.
#ifdef _WIN32
  const std::string oddName = "odd.pvs";
#else
  const std::string oddName = "odd\xE9.pvs";  // not UTF-8: U+FFFD in JSON
#endif
  const std::string odd =
      Write(oddName, Drawing({Definition("q\"\\\t\x81\x80", {}, {-3e38F, 0, 3e38F, 0.5F})}));
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::string out;
  } rows[] = {
      {{"check", a}, 0, ""},
      {{"check", a, b}, 1, b + ": 1 reference to \"\xE2\x82\xACX\", which no symbol defines\n"},
      {{"check", b, "--format", "json"},
       1,
       "[\n{\"file\":\"" + bInJson +
           "\",\"kind\":\"missing-symbol\",\"index\":-1,\"name\":\"\xE2\x82\xACX\",\"message\":\"1 "
           "reference to \\\"\xE2\x82\xACX\\\", which no symbol defines\"}\n]\n"},
      {{"list", odd, a, "--format", "json"},
       0,
       "[\n{\"file\":\"" + inJson(odd) +
           "\",\"symbols\":[\n "
           "{\"index\":0,\"name\":\"q\\\"\\\\\\u0009\\u0081\xE2\x82\xAC\",\"uses\":0,"
           "\"nestedUses\":0,\"width\":null,\"height\":0.5}]},\n{\"file\":\"" +
           inJson(a) +
           "\",\"symbols\":[\n {\"index\":0,\"name\":\"A\",\"uses\":1,\"nestedUses\":0,\"width\":0,"
           "\"height\":0},\n {\"index\":1,\"name\":\"B\",\"uses\":1,\"nestedUses\":1,\"width\":0,"
           "\"height\":0}]}\n]\n"},
      {{"uses", a, "B"}, 0, "top level: 1\ndepth 1: symbol 0 \"A\"\n"},
      {{"uses", a, "X"}, 1, ""},
      {{"diff", a, a + "x"}, 2, ""},
      {{"diff", b, a, "--format=json"},
       1,
       "{\"onlyInA\":[],\"onlyInB\":[\"A\"],\"changed\":[],\"orderDiffers\":false}\n"},
      {{"render", a, "--all"}, 2, ""},
  };
  for (const auto& row : rows) {
    const CliResult result = RunCli(row.arguments);
    EXPECT_EQ(result.exitCode, row.status) << row.arguments[0] << result.err;
    EXPECT_EQ(result.out, row.out);
  }
  EXPECT_TRUE(Succeed({"render", a, "A", "--size", "64"}).starts_with("<?xml"));
  const std::string euro = Write("euro.pvs", Drawing({Definition("\x80")}));
  EXPECT_NE(Succeed({"render", euro, "\xE2\x82\xAC"}).find("<title>\xE2\x82\xAC</title>"),
            std::string::npos);
  const std::string c = Write(
      "c.pvs", Drawing({Definition("a/b"), Definition("A?B"), Definition(".."), Definition("")}));
  EXPECT_EQ(Succeed({"render", c, "--all", "-o", dir.Path("pictures")}),
            "4 pictures written to " + dir.Path("pictures") + "\n");
  for (const char* name : {"a_b.svg", "A_B-2.svg", "_...svg", "_.svg"}) {
    EXPECT_TRUE(std::filesystem::exists(dir.Path("pictures/") + name)) << name;
  }
  EXPECT_EQ(StateOf(a), before);
}

TEST_F(CliTest, CopyWarnsOfOrBringsTheSymbolsItPlaces) {
  const std::string from =
      Write("from.pvs", Drawing({Definition("C"), Definition("B", {Reference("C")}),
                                 Definition("A", {Reference("B")})}));
  const std::string to = Write("to.pvs", Drawing({}));
  const CliResult warned = RunCli({"copy", from, to, "A", "--output", dir.Path("one.pvs")});
  EXPECT_EQ(warned.exitCode, 0);
  EXPECT_EQ(warned.err,
            "runebin-cli: Warning: \"A\" places \"B\", which \"" + to +
                "\" lacks (--with-dependencies copies it too)\nrunebin-cli: Warning: \"A\" places "
                "\"C\", which \"" +
                to + "\" lacks (--with-dependencies copies it too)\n");
  EXPECT_EQ(Succeed({"copy", from, to, "A", "--with-dependencies"}),
            "2 symbols it places copied too\n");
  EXPECT_EQ(Succeed({"list", to}).size(), 3 * std::string("0\tA\t0\t0.00\t0.00\n").size());
}

}  // namespace
}  // namespace runebin::testing
