// zenfaro-cli export, import and check: exit statuses, messages and the
// files they leave, as scripts rely on them.
#include <gtest/gtest.h>

#include "tests/support/cli_runner.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

const std::string kMore = line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99") + line("") +
                          line("[Exported Commentary]") + count(1) + count(1) + line("goal") + count(0) + count(1) +
                          line("And it's in");

class ExchangeCli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(cli({"add", "1", "triggers", "goal"}).status, 0);
    ASSERT_EQ(cli({"add", "1", "lines", "What a strike"}).status, 0);
  }
  CliRun cli(std::initializer_list<std::string> args, const std::string& input = "") {
    std::vector<std::string> all = {"-C", folder_.path().u8string()};
    all.insert(all.end(), args.begin(), args.end());
    return run_cli(all, input);
  }
  TempFolder folder_;
};

TEST_F(ExchangeCli, ExportReplacesAnExistingFileOnlyWithForce) {
  CliRun run = cli({"export", "out.CMX"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1 commentary entries were exported to " + (folder_ / "out.CMX").u8string() + ".\n");
  write_bytes(folder_ / "out.CMX", "keep");
  run = cli({"export", "out.CMX"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos);
  EXPECT_EQ(read_bytes(folder_ / "out.CMX"), "keep");
  EXPECT_EQ(cli({"export", "out.CMX", "--force"}).status, 0);
  EXPECT_NE(read_bytes(folder_ / "out.CMX"), "keep");
}

TEST_F(ExchangeCli, ExportRefusesTheDatabaseFiles) {
  const std::string data = read_bytes(folder_ / "commdb.dat");
  const CliRun run = cli({"export", "commdb.dat", "--force"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("commdb.dat"), std::string::npos);
  EXPECT_EQ(read_bytes(folder_ / "commdb.dat"), data);
  EXPECT_EQ(cli({"export"}).status, 2);
}

TEST_F(ExchangeCli, ImportAsksAndANoChangesNothing) {
  write_bytes(folder_ / "more.CMX", kMore);
  const std::string data = read_bytes(folder_ / "commdb.dat");
  const CliRun run = cli({"import", "more.CMX"}, "n\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("1 extending stored records"), std::string::npos);
  EXPECT_NE(run.out.find("Are you sure you want to import 1 records ?"), std::string::npos);
  EXPECT_EQ(read_bytes(folder_ / "commdb.dat"), data);
}

TEST_F(ExchangeCli, ImportWithYesThenCheck) {
  write_bytes(folder_ / "more.CMX", kMore);
  CliRun run = cli({"import", "more.CMX", "--yes"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("the database now holds 1 records"), std::string::npos);
  EXPECT_NE(cli({"show", "1"}).out.find("And it's in"), std::string::npos);
  run = cli({"check"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("match: 1 records"), std::string::npos);
}

TEST_F(ExchangeCli, ImportOfAFileThatIsNotAnExchangeFileFails) {
  const CliRun run = cli({"import", "missing.CMX", "--yes"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Not a commentary file."), std::string::npos);
}

TEST_F(ExchangeCli, CheckReportsTheFirstMismatch) {
  write_bytes(folder_ / "commdb.dat", read_bytes(folder_ / "commdb.dat") + count(0) + count(0) + count(0));
  const CliRun run = cli({"check"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("record 2 starts at byte"), std::string::npos);
}

}  // namespace
}  // namespace zenfaro
