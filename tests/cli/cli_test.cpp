// zenfaro-cli: its commands, outputs and exit statuses, which scripts rely on.
#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

class Cli : public ::testing::Test {
 protected:
  CliRun cli(std::initializer_list<std::string> args) { return cli(std::vector<std::string>(args)); }
  CliRun cli(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"-C", folder_.path().u8string()};
    all.insert(all.end(), args.begin(), args.end());
    return run_cli(all);
  }
  std::string data() const { return read_bytes(folder_ / "commdb.dat"); }
  TempFolder folder_;
};

TEST_F(Cli, InfoTellsTheLayoutPathsAndCount) {
  CliRun run = cli({"info"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("layout: standalone"), std::string::npos);
  EXPECT_NE(run.out.find("records: 0"), std::string::npos);
  write_bytes(folder_ / "program" / "vask.exe", "");
  run = cli({"info"});
  EXPECT_NE(run.out.find("layout: host"), std::string::npos);
  EXPECT_NE(run.out.find((fs::path("plugins") / "zenfaro" / "data" / "commdb.dat").u8string()), std::string::npos);
}

TEST_F(Cli, HostLayoutWritesUnderThePluginFolder) {
  write_bytes(folder_ / "program" / "vask.exe", "");
  fs::create_directories(folder_ / "plugins" / "zenfaro" / "data");
  ASSERT_EQ(cli({"add", "1", "triggers", "goal"}).status, 0);
  EXPECT_TRUE(is_file(folder_ / "plugins" / "zenfaro" / "data" / "commdb.dat"));
  EXPECT_FALSE(is_file(folder_ / "commdb.dat"));
  EXPECT_FALSE(is_file(folder_ / "temp.tmp"));
}

TEST_F(Cli, AddExpandsAlternativesAndStoresWindows1252) {
  ASSERT_EQ(cli({"add", "1", "triggers", "The (quick,slow) fox"}).status, 0);
  ASSERT_EQ(cli({"add", "1", "lines", "Caf\u00E9 \u20AC"}).status, 0);
  EXPECT_EQ(data(), count(2) + line("The quick fox") + line("The slow fox") + count(0) + count(1) +
                        line("Caf\xE9 \x80"));
  CliRun shown = cli({"show", "1"});
  EXPECT_EQ(shown.status, 0);
  EXPECT_NE(shown.out.find("Caf\u00E9 \u20AC"), std::string::npos);
  CliRun raw = cli({"show", "1", "--raw"});
  EXPECT_EQ(raw.out, data());
}

TEST_F(Cli, ListShowsSizesAndTheFirstTriggerInDisplayOrder) {
  cli({"add", "1", "triggers", "zeta"});
  cli({"add", "1", "triggers", "Alpha"});
  cli({"add", "2", "lines", "only a line"});
  EXPECT_EQ(cli({"list"}).out, "1\t2\t0\t0\tAlpha\n2\t0\t0\t1\t\n");
}

TEST_F(Cli, ShowRawAboveTheCountIsThreeEmptyLists) {
  EXPECT_EQ(cli({"show", "5", "--raw"}).out, count(0) + count(0) + count(0));
}

TEST_F(Cli, ModifyAndRemoveWorkOnDisplayPositions) {
  cli({"add", "1", "triggers", "(b,a,c)"});
  ASSERT_EQ(cli({"modify", "1", "triggers", "0", "z"}).status, 0);
  EXPECT_EQ(cli({"show", "1", "--raw"}).out, count(3) + line("z") + line("b") + line("c") + count(0) + count(0));
  // Shown again, the triggers stand sorted: b, c, z.
  ASSERT_EQ(cli({"remove", "1", "triggers", "2", "0"}).status, 0);
  EXPECT_EQ(cli({"show", "1", "--raw"}).out, count(1) + line("c") + count(0) + count(0));
}

TEST_F(Cli, RefusalsExitWithOneAndChangeNothing) {
  cli({"add", "1", "triggers", "goal"});
  const std::string before = data();
  for (const CliRun& run : {cli({"add", "1", "lines", "\u65E5\u672C"}), cli({"add", "1", "lines", "two\nlines"}),
                            cli({"add", "1", "lines", std::string(5000, 'x')}),
                            cli({"modify", "1", "triggers", "3", "x"}), cli({"remove", "1", "lines", "0"}),
                            cli({"remove", "1", "triggers", "0"}), cli({"delete", "2"})}) {
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_EQ(data(), before);
}

TEST_F(Cli, UsageErrorsExitWithTwo) {
  for (const char* number : {"0", "-1", "x", "0x10", "1e3", "+3", " 3", "3.0", "99999999999"}) {
    EXPECT_EQ(cli({"show", number}).status, 2) << number;
    EXPECT_EQ(cli({"remove", "1", "lines", number == std::string("0") ? "-0" : number}).status, 2) << number;
  }
  EXPECT_EQ(cli({"add", "1", "nowhere", "x"}).status, 2);
  EXPECT_EQ(cli({"add", "1", "lines"}).status, 2);
  EXPECT_EQ(cli({"frobnicate"}).status, 2);
  EXPECT_EQ(run_cli({}).status, 2);
}

TEST_F(Cli, FindListsMatchesInOrderWithTheirDisplayPositions) {
  // Record 1 stores its triggers out of order; they show as alpha, mid, zeta.
  const std::string first = count(3) + line("zeta Goal") + line("mid") + line("alpha goal") + count(1) +
                            line("own goal") + count(3) + line("GOAL!") + line("no") + line("goalless");
  const std::string second = count(0) + count(0) + count(1) + line("Caf\xC9 GOAL");
  write_bytes(folder_ / "commdb.dat", first + second);
  write_bytes(folder_ / "commdb.idx", index_bytes({0, static_cast<std::int32_t>(first.size())}));
  const struct {
    std::vector<std::string> args;
    std::string out;
  } rows[] = {
      {{"goal"},
       "1\ttriggers\t0\talpha goal\n1\ttriggers\t2\tzeta Goal\n1\texclusions\t0\town goal\n"
       "1\tlines\t0\tGOAL!\n1\tlines\t2\tgoalless\n2\tlines\t0\tCaf\u00C9 GOAL\n"},
      {{"Goal", "--match-case"}, "1\ttriggers\t2\tzeta Goal\n"},
      {{"caf\u00E9", "--list", "lines"}, "2\tlines\t0\tCaf\u00C9 GOAL\n"},
      {{"GOAL", "--list", "exclusions"}, "1\texclusions\t0\town goal\n"},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = {"find"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const CliRun run = cli(args);
    EXPECT_EQ(run.status, 0) << row.args[0];
    EXPECT_EQ(run.out, row.out) << row.args[0];
  }
  // The positions are those that modify and remove take.
  ASSERT_EQ(cli({"remove", "1", "triggers", "2"}).status, 0);
  EXPECT_EQ(cli({"find", "zeta"}).status, 1);
}

TEST_F(Cli, FindExitsWithOneWhenNothingMatchesAndTwoForUsageErrors) {
  cli({"add", "1", "lines", "a goal"});
  const struct {
    std::vector<std::string> args;
    int status;
  } rows[] = {{{"goal"}, 0},         {{"corner"}, 1},          {{"GOAL", "--match-case"}, 1},
              {{"goal", "--list", "triggers"}, 1}, {{"\u65E5"}, 1}, {{""}, 2},
              {{"goal", "--list", "nowhere"}, 2}, {{}, 2}};
  for (const auto& row : rows) {
    std::vector<std::string> args = {"find"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const CliRun run = cli(args);
    EXPECT_EQ(run.status, row.status) << (row.args.empty() ? "(none)" : row.args[0]);
    if (row.status != 0) {
      EXPECT_TRUE(run.out.empty());
    }
  }
}

// Bytes that are not UTF-8 (what an ANSI command line gives on Windows) in
// every kind of argument: a message and exit 1 (2 for -C, whose folder then
// does not exist), never an exception, wherever the name is converted.
TEST_F(Cli, ArgumentsThatAreNotUtf8EndWithAMessage) {
  fs::create_directory(folder_ / "dossier \u00E9");
  const std::string folder = folder_.path().u8string();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } rows[] = {
      {{"-C", folder + "/dossier \xE9", "info"}, 2, "Directory does not exist"},
      {{"-C", folder, "add", "1", "lines", "caf\xE9"}, 1, "UTF-8"},
      {{"-C", folder, "export", "missing \xE9/out.CMX"}, 1, "zenfaro-cli: "},
      {{"-C", folder, "import", "missing \xE9.CMX", "--yes"}, 1, "zenfaro-cli: "},
  };
  for (const auto& row : rows) {
    const CliRun run = run_cli(row.args);
    EXPECT_EQ(run.status, row.status) << row.args.at(2);
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(is_file(folder_ / "commdb.dat"));
}

TEST_F(Cli, DeleteRemovesTheRecordNamedInDecimal) {
  cli({"add", "1", "triggers", "one"});
  cli({"add", "2", "triggers", "two"});
  for (int k = 3; k <= 10; ++k) cli({"add", std::to_string(k), "triggers", "t" + std::to_string(k)});
  ASSERT_EQ(cli({"delete", "010"}).status, 0);  // record 10, not 8
  EXPECT_EQ(cli({"list"}).out.find("t10"), std::string::npos);
  for (int k = 3; k <= 9; ++k) cli({"delete", "3"});
  CliRun run = cli({"delete", "01"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(cli({"list"}).out, "1\t1\t0\t0\ttwo\n");
}

}  // namespace
}  // namespace zenfaro
