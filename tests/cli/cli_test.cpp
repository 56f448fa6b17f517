// zenfaro-cli: its commands, outputs and exit statuses, which scripts rely on.
#include <gtest/gtest.h>

#include "tests/support/cli_run.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

class Cli : public ::testing::Test {
 protected:
  CliRun cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"-C", folder_.path().u8string()});
    return run_cli(args, input);
  }
  std::string data() const { return read_bytes(folder_ / "commdb.dat"); }
  TempFolder folder_;
};

TEST_F(Cli, EditingCommandsWorkAsTheWindowDoes) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } rows[] = {
      {{"info"}, "layout: standalone\ndata: commdb.dat\nindex: commdb.idx\nrecords: 0\n"},
      {{"add", "1", "triggers", "The (quick,slow) fox"}, "Record 1 saved; its triggers list holds 2 entries.\n"},
      {{"add", "1", "lines", "Caf\u00E9 \u20AC"}, "Record 1 saved; its lines list holds 1 entries.\n"},
      {{"add", "3", "triggers", "zeta"}, "Record 2 saved; its triggers list holds 1 entries.\n"},  // appended
      {{"add", "2", "triggers", "Alpha"}, "Record 2 saved; its triggers list holds 2 entries.\n"},
      {{"list"}, "1\t2\t0\t1\tThe quick fox\n2\t2\t0\t0\tAlpha\n"},
      {{"show", "2"},
       "Record 2 of 2\nTriggers (2):\n  0  Alpha\n  1  zeta\nExclusion triggers (0):\nCommentary lines (0):\n"},
      {{"modify", "2", "triggers", "0", "omega"}, "Record 2 saved.\n"},  // in place, unsorted
      {{"show", "2", "--raw"}, count(2) + line("omega") + line("zeta") + count(0) + count(0)},
      {{"remove", "1", "triggers", "1", "1"}, "Record 1 saved; its triggers list holds 1 entries.\n"},
      {{"delete", std::string(18, '0') + "2"}, "Record 2 deleted; the database holds 1 records.\n"},  // zeros uncounted
      {{"check"}, "commdb.dat and commdb.idx match: 1 records.\n"}};
  for (const auto& row : rows) {
    const CliRun run = cli(row.args);
    EXPECT_TRUE(run.status == 0 && run.out.find(row.out) != std::string::npos) << row.args[0] << run.err << run.out;
  }
  EXPECT_EQ(data(), stored(make_record({"The quick fox"}, {}, {"Caf\xE9 \x80"})));
  for (int k = 2; k <= 10; ++k) cli({"add", std::to_string(k), "lines", "r" + std::to_string(k)});
  ASSERT_EQ(cli({"delete", "010"}).status, 0);  // record numbers are decimal: 010 is record 10
  EXPECT_EQ(cli({"list"}).out.find("r10"), std::string::npos);
  EXPECT_NE(cli({"show", "9"}).out.find("r9"), std::string::npos);
  write_bytes(folder_ / "program" / "vask.exe", "");  // the host layout: under the plug-in's folder, if there
  EXPECT_NE(cli({"add", "1", "triggers", "goal"}).err.find("data\" does not exist."), std::string::npos);
  fs::create_directories(folder_ / "plugins" / "zenfaro" / "data");
  ASSERT_EQ(cli({"add", "1", "triggers", "goal"}).status, 0);
  EXPECT_TRUE(is_file(folder_ / "plugins" / "zenfaro" / "data" / "commdb.dat"));
  EXPECT_NE(cli({"info"}).out.find("layout: host"), std::string::npos);
}

TEST_F(Cli, RefusalsExitWithOneAndUsageErrorsWithTwoChangingNothing) {
  cli({"add", "1", "triggers", "goal"});
  const std::string before = data();
  const struct {
    std::vector<std::string> args;
    int status;
  } rows[] = {{{"add", "1", "lines", "\u65E5\u672C"}, 1},
              {{"add", "1", "lines", "two\nlines"}, 1},
              {{"add", "1", "lines", std::string(5000, 'x')}, 1},
              {{"modify", "1", "triggers", "3", "x"}, 1},
              {{"remove", "1", "lines", "0"}, 1},
              {{"remove", "1", "triggers", "0"}, 1},
              {{"delete", "2"}, 1},
              {{"export", "commdb.dat", "--force"}, 1},
              {{"import", "missing.CMX", "--yes"}, 1},
              {{"add", "1", "nowhere", "x"}, 2},
              {{"add", "1", "lines"}, 2},
              {{"frobnicate"}, 2},
              {{"export"}, 2},
              {{}, 2}};
  for (const auto& row : rows) {
    const CliRun run = cli(row.args);
    EXPECT_EQ(std::make_pair(run.status, run.err.empty()), std::make_pair(row.status, false)) << row.args.size();
  }
  for (const char* number : {"0", "-1", "x", "0x10", "1e3", "+3", " 3", "3.0", "99999999999"}) {
    EXPECT_EQ(cli({"show", number}).status, 2) << number;
    EXPECT_EQ(cli({"remove", "1", "lines", number == std::string("0") ? "-0" : number}).status, 2) << number;
  }
  fs::permissions(folder_ / "commdb.dat", fs::perms::owner_read);  // a delete the database refuses
  EXPECT_EQ(cli({"delete", "1"}).status, 1);
  fs::permissions(folder_ / "commdb.dat", fs::perms::owner_all);
  EXPECT_EQ(data(), before);
  EXPECT_EQ(run_cli({}).status, 2);
}

// show --raw writes the bytes the record occupies in commdb.dat, whatever
// their form: the lines the reading rules take for its three lists, from its
// offset. A record that is not there writes nothing; a damaged one fails.
TEST_F(Cli, ShowRawWritesTheStoredBytesExactly) {
  const std::string odd = "2\r\nzeta\r\nAlpha\r\n  0\t\r\n1,line\n\r\n";  // unsorted, unspaced, a comma
  std::string huge = count(kMaxListEntries + 1);
  for (std::int64_t i = 0; i <= kMaxListEntries; ++i) huge += line("x");
  const std::string last = count(1) + "cut\x1A" + "after";  // 0x1A ends the data
  write_bytes(folder_ / "commdb.dat", odd + huge + last);
  write_bytes(folder_ / "commdb.idx", index_bytes({0, static_cast<std::int32_t>(odd.size()),
                                                   static_cast<std::int32_t>(odd.size() + huge.size())}));
  const struct {
    const char* n;
    int status;
    std::string out;
  } rows[] = {{"1", 0, odd}, {"3", 0, count(1) + "cut"}, {"4", 0, ""}, {"2", 1, ""}};
  for (const auto& row : rows) {
    const CliRun run = cli({"show", row.n, "--raw"});
    EXPECT_EQ(std::make_pair(run.status, run.out), std::make_pair(row.status, row.out)) << row.n << run.err;
  }
  EXPECT_NE(cli({"show", "2", "--raw"}).err.find("Record 2 is damaged"), std::string::npos);
}

TEST_F(Cli, ExportImportAndCheckAsScriptsUseThem) {
  cli({"add", "1", "triggers", "goal"});
  CliRun run = cli({"export", "out.CMX"});
  EXPECT_EQ(run.out, "1 commentary entries were exported to " + (folder_ / "out.CMX").u8string() + ".\n");
  write_bytes(folder_ / "out.CMX", "keep");
  EXPECT_NE(cli({"export", "out.CMX"}).err.find("--force"), std::string::npos);
  EXPECT_EQ(read_bytes(folder_ / "out.CMX"), "keep");
  ASSERT_EQ(cli({"export", "out.CMX", "--force"}).status, 0);
  EXPECT_EQ(read_bytes(folder_ / "out.CMX"), exchange_of({make_record({"goal"}, {}, {})}));

  write_bytes(folder_ / "more.CMX", exchange_of({make_record({"goal"}, {}, {"And it's in"})}));
  const std::string before = data();
  run = cli({"import", "more.CMX"}, "n\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("1 extending stored records.\nThe database would go from 1 to 1 records.\nStored record 1 "
                         "gets 1 new commentary line.\nAre you sure you want to import 1 records ? [y/N]"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(data(), before);
  for (const char* yes : {"y", "Y", "yes", "Yes", "YES"}) EXPECT_EQ(cli({"import", "more.CMX"}, yes).status, 0) << yes;
  run = cli({"import", "more.CMX", "--yes"});
  EXPECT_TRUE(run.status == 0 && run.out.find("the database now holds 1 records") != std::string::npos) << run.out;
  EXPECT_EQ(cli({"check"}).status, 0);
  write_bytes(folder_ / "commdb.dat", data() + count(0) + count(0) + count(0));
  run = cli({"check"});
  EXPECT_TRUE(run.status == 1 && run.err.find("record 2 starts at byte") != std::string::npos) << run.err;
  // The details name a new record as the window's do.
  write_bytes(folder_ / "new.CMX", exchange_of({make_record({"penalty", "spot kick"}, {}, {"Saved!"})}));
  run = cli({"import", "new.CMX", "--yes"});
  EXPECT_NE(run.out.find("\nNew record 2: \"penalty\".\nImported "), std::string::npos) << run.out;
}

TEST_F(Cli, FindListsMatchesInOrderAtTheirShownPositions) {
  const std::string first = count(3) + line("zeta Goal") + line("mid") + line("alpha goal") +  // shown sorted
                            count(1) + line("own goal") + count(3) + line("GOAL!") + line("no") + line("goalless");
  const std::string second = count(0) + count(0) + count(1) + line("Caf\xC9 GOAL");
  write_bytes(folder_ / "commdb.dat", first + second);
  write_bytes(folder_ / "commdb.idx", index_bytes({0, static_cast<std::int32_t>(first.size())}));
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
  } rows[] = {{{"find", "goal"},
               0,
               "1\ttriggers\t0\talpha goal\n1\ttriggers\t2\tzeta Goal\n1\texclusions\t0\town goal\n"
               "1\tlines\t0\tGOAL!\n1\tlines\t2\tgoalless\n2\tlines\t0\tCaf\u00C9 GOAL\n"},
              {{"find", "Goal", "--match-case"}, 0, "1\ttriggers\t2\tzeta Goal\n"},
              {{"find", "caf\u00E9", "--list", "lines"}, 0, "2\tlines\t0\tCaf\u00C9 GOAL\n"},
              {{"find", "GOAL", "--list", "exclusions"}, 0, "1\texclusions\t0\town goal\n"},
              {{"find", "corner"}, 1, ""},
              {{"find", "\u65E5"}, 1, ""},
              {{"find", ""}, 2, ""},
              {{"find", "goal", "--list", "nowhere"}, 2, ""},
              {{"find"}, 2, ""}};
  for (const auto& row : rows) {
    const CliRun run = cli(row.args);
    EXPECT_EQ(std::make_pair(run.status, run.out), std::make_pair(row.status, row.out)) << row.args.size();
  }
  ASSERT_EQ(cli({"remove", "1", "triggers", "2"}).status, 0);  // the positions are those remove takes
  EXPECT_EQ(cli({"find", "zeta"}).status, 1);
}

// Arguments that are not UTF-8 (an ANSI command line on Windows): a message and exit 1 (2 for -C), no exception.
TEST_F(Cli, ArgumentsThatAreNotUtf8EndWithAMessage) {
  const std::string folder = folder_.path().u8string();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string message;
  } rows[] = {{{"-C", folder + "/dossier \xE9", "info"}, 2, "Directory does not exist"},
              {{"-C", folder, "add", "1", "lines", "caf\xE9"}, 1, "UTF-8"},
              {{"-C", folder, "export", "missing \xE9/out.CMX"}, 1, "zenfaro-cli: "},
              {{"-C", folder, "import", "missing \xE9.CMX", "--yes"}, 1, "zenfaro-cli: "}};
  for (const auto& row : rows) {
    const CliRun run = run_cli(row.args);
    EXPECT_EQ(run.status, row.status) << row.args.at(2);
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(is_file(folder_ / "commdb.dat"));
}

// --help, from which the manual page is made: every command with its arguments, the LIST names, the exit statuses.
TEST(CliHelp, GivesEverySubcommandWithItsArgumentsTheListNamesExitStatusesAndExamples) {
  const CliRun run = run_cli({"--help"});
  EXPECT_EQ(run.status, 0);
  const std::string listed = run.out.substr(run.out.find("Subcommands, with their arguments"));
  for (const char* synopsis : {"info", "list", "show N [--raw]", "add N LIST TEXT", "modify N LIST POS TEXT",
                               "remove N LIST POS...", "delete N", "export FILE [--force]", "import FILE [--yes]",
                               "check", "find TEXT [--list LIST] [--match-case]\n"})
    EXPECT_NE(listed.find("\n  " + std::string(synopsis) + (synopsis[0] == 'f' ? "" : " ")), std::string::npos)
        << synopsis;
  for (const char* part : {"LIST is\ntriggers, exclusions or lines.", "Exit status:\n  0  done\n  1  refused or failed",
                           "  2  usage error\n", "Examples:\n  $ zenfaro-cli -C ~/games/pelmar show 12 "})
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  EXPECT_EQ(run.out.find("\n  info   "), run.out.rfind("\n  info   "));  // listed once
}

}  // namespace
}  // namespace zenfaro
