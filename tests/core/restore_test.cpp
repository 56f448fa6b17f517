// Restoring commdb.old: its records become the database with an index that matches, the current data file
// becomes commdb.old, and whatever fails or wherever it is killed, the next start finds the three files as they
// were or as restored: the state to restore is never lost.
#include <gtest/gtest.h>

#include "core/restore_backup.h"
#include "core/write_record_set.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

const std::vector<Record> kNow = {make_record({"a"}, {}, {"new line"}), make_record({"b"}, {}, {})};
const std::vector<Record> kBefore = {make_record({"a"}, {}, {"old line"})};

using Files = std::tuple<std::string, std::string, std::string>;  // commdb.dat, commdb.idx, commdb.old

class Restoring : public ::testing::TestWithParam<bool> {
 protected:
  void store() {
    folder_.env.reset();
    folder_.store(kNow);
    write_bytes(folder_.base("commdb.old"), stored(kBefore));
  }
  Files files() const { return {folder_.data(), folder_.index(), read_bytes(folder_.base("commdb.old"))}; }
  Status restore() {
    RestorePlan plan;
    Status status = plan_restore(folder_.db, &plan);
    return status.is_ok() ? restore_backup(folder_.db, plan) : status;
  }
  const Files before_ = {stored(kNow), index_of(kNow), stored(kBefore)};
  const Files restored_ = {stored(kBefore), index_of(kBefore), stored(kNow)};
  DatabaseFolder folder_{GetParam()};
};

TEST_P(Restoring, PutsTheBackupBackAndASecondRestoreGoesForward) {
  store();
  RestorePlan plan;
  ASSERT_TRUE(plan_restore(folder_.db, &plan).is_ok());
  EXPECT_EQ(std::make_pair(plan.records_now, plan.records_restored), std::make_pair(std::int64_t{2}, std::int64_t{1}));
  ASSERT_TRUE(restore_backup(folder_.db, plan).is_ok());
  EXPECT_EQ(files(), restored_);
  EXPECT_EQ(folder_.db.record_count, 1);
  EXPECT_FALSE(is_file(folder_.base("restoreold.dat")) || is_file(folder_.work("temp.tmp")));
  ASSERT_TRUE(restore().is_ok());
  EXPECT_EQ(files(), before_);
  // A backup in any form comes back in canonical form, its entries whole, its index built by walking it.
  const std::string odd =
      "2\r\nzeta\r\nAlpha\r\n  0\t\r\n1,line\n\r\n" + count(0) + count(0) + count(1) + line(std::string(6000, 'x'));
  write_bytes(folder_.base("commdb.old"), odd);
  ASSERT_TRUE(restore().is_ok());
  const std::vector<Record> canonical = {make_record({"zeta", "Alpha"}, {}, {"line\n"}),
                                         make_record({}, {}, {std::string(6000, 'x')})};
  EXPECT_EQ(files(), (Files{stored(canonical), index_of(canonical), stored(kNow)}));
}

TEST_P(Restoring, IsRefusedChangingNothingWithoutABackupOrWhenItChangedOrHoldsTooMuch) {
  store();
  fs::remove(folder_.base("commdb.old"));
  RestorePlan plan;
  EXPECT_NE(plan_restore(folder_.db, &plan).message().find("There is no commdb.old in"), std::string::npos);
  store();
  ASSERT_TRUE(plan_restore(folder_.db, &plan).is_ok());
  ASSERT_TRUE(write_record_set(folder_.db, 3, WriteMode::save, kBefore[0]).is_ok());  // another program saves
  const Files saved = files();
  EXPECT_NE(restore_backup(folder_.db, plan).message().find("commdb.old was changed by another program"),
            std::string::npos);
  EXPECT_EQ(files(), saved);
  std::string many;
  for (int k = 0; k <= kMaxRecords; ++k) many += stored(Record{});
  store();
  write_bytes(folder_.base("commdb.old"), many);
  EXPECT_EQ(restore().message(), "The database can hold at most 10000 records. Nothing was restored.");
  EXPECT_EQ(files(), (Files{stored(kNow), index_of(kNow), many}));
  EXPECT_FALSE(is_file(folder_.work("temp.tmp")) || is_file(folder_.work("temp.idx")));
}

// Every operation failing (alone or onwards), and a kill before each with what was not made durable lost (all of
// it, all but the removals, or only the unsynced bytes): the files as they were or as restored.
TEST_P(Restoring, WhateverFailsTheBackupIsKeptOrRestored) {
  using Crash = FaultyEnv::Crash;
  store();
  folder_.env.count_reads = true;
  ASSERT_TRUE(restore().is_ok());
  const std::vector<std::string> operations = folder_.env.log;
  for (int mode = 0; mode < 5; ++mode) {  // failing alone, failing onwards, killed in each crash mode
    const bool killed = mode >= 2;
    for (std::size_t i = 0; i <= operations.size(); ++i) {
      SCOPED_TRACE(std::to_string(mode) + " at " + (i < operations.size() ? operations[i] : "the end"));
      store();
      folder_.env.count_reads = true;
      (killed ? folder_.env.kill_at : folder_.env.fail_at) = static_cast<int>(i);
      folder_.env.fail_onwards = mode == 1;
      if (killed) folder_.env.crash_mode = std::vector<Crash>{Crash::drop_all, Crash::keep_removals, Crash::keep_names}[mode - 2];
      Status status = Status::io_error("killed");
      try {
        status = restore();
      } catch (const Killed&) {
        folder_.env.crash();
      }
      folder_.env.reset();
      folder_.fresh();  // the next start finishes what was decided
      const Files now = files();
      EXPECT_TRUE(now == before_ || now == restored_) << status.message();
      EXPECT_TRUE(killed || now != before_ || !status.is_ok());  // as they were: a failure, and told
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, Restoring, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
  return std::string(info.param ? "InTheHostLayout" : "Standalone");
});

}  // namespace
}  // namespace zenfaro
