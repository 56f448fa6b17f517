// A save must never lose data: whichever file operation fails, and wherever
// the program is killed, the database is afterwards the old one or the new
// one, whole, with an index that matches its data file.
#include <gtest/gtest.h>

#include "core/check_database.h"
#include "core/replace_files.h"
#include "core/write_record_set.h"
#include "tests/support/faulty_env.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

const std::string kOldRecord1 = count(1) + line("a") + count(0) + count(1) + line("old line");
const std::string kOldData = kOldRecord1 + count(1) + line("b") + count(0) + count(0);
const std::string kOldIndex = index_bytes({0, static_cast<std::int32_t>(kOldRecord1.size())});

Record new_lists() {
  Record record;
  record.list(ListKind::triggers) = {"a"};
  record.list(ListKind::lines) = {"old line", "new line"};
  return record;
}

enum class Outcome { old_database, new_database, broken };

class SaveFailures : public ::testing::Test {
 protected:
  void reset() {
    std::filesystem::remove_all(folder_.path());
    std::filesystem::create_directories(folder_.path());
    write_bytes(folder_ / "commdb.dat", kOldData);
    write_bytes(folder_ / "commdb.idx", kOldIndex);
  }

  // Opens the folder as the program does at its next start and says which
  // database it finds.
  Outcome reopen() {
    Database db;
    open_database(default_env(), layout(), &db).ignore_error();
    if (testing::is_file(journal_file(layout())) || !check_database(db).matches) return Outcome::broken;
    if (read_bytes(folder_ / "commdb.dat") == kOldData && read_bytes(folder_ / "commdb.idx") == kOldIndex) {
      return Outcome::old_database;
    }
    if (db.record_count == 2 && read_record(db, 1) == new_lists()) return Outcome::new_database;
    return Outcome::broken;
  }

  Status save(FaultyEnv& env) {
    Database db;
    open_database(env, layout(), &db).ignore_error();
    env.log.clear();
    return write_record_set(db, 1, WriteMode::save, new_lists());
  }

  Layout layout() const { return Layout{folder_.path(), false}; }
  TempFolder folder_;
};

TEST_F(SaveFailures, EachFailingOperationLeavesTheOldOrTheNewDatabaseAndTellsTheTruth) {
  reset();
  FaultyEnv clean;
  ASSERT_TRUE(save(clean).is_ok());
  const std::vector<std::string> operations = clean.log;
  ASSERT_GT(operations.size(), 10u);

  for (std::size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE("failing: " + operations[i]);
    reset();
    FaultyEnv env;
    env.fail_at = static_cast<int>(i);
    const Status status = save(env);
    const Outcome outcome = reopen();
    ASSERT_NE(outcome, Outcome::broken);
    if (outcome == Outcome::old_database) {
      EXPECT_FALSE(status.is_ok());
      EXPECT_NE(status.message().find("Injected failure"), std::string::npos);
    } else {
      EXPECT_TRUE(status.is_ok()) << status.message();
    }
  }
}

TEST_F(SaveFailures, EveryKindOfOperationIsAmongThoseMadeToFail) {
  reset();
  FaultyEnv clean;
  ASSERT_TRUE(save(clean).is_ok());
  std::string all;
  for (const std::string& op : clean.log) all += op + "\n";
  for (const char* kind : {"lock zenfaro.lck", "create temp.tmp", "write temp.tmp", "sync temp.tmp", "create temp.idx",
                           "chmod temp.tmp", "rename zenfaro.jrn.tmp -> zenfaro.jrn", "link commdb.dat -> commdb.old",
                           "rename temp.tmp -> commdb.dat", "rename temp.idx -> commdb.idx", "remove zenfaro.jrn"}) {
    EXPECT_NE(all.find(kind), std::string::npos) << kind << " in\n" << all;
  }
}

TEST_F(SaveFailures, AKillAtAnyMomentLeavesTheOldOrTheNewDatabaseAtTheNextStart) {
  reset();
  FaultyEnv clean;
  ASSERT_TRUE(save(clean).is_ok());
  const std::size_t operations = clean.log.size();
  int saw_new = 0;
  for (std::size_t i = 0; i <= operations; ++i) {
    SCOPED_TRACE("killed before operation " + std::to_string(i));
    reset();
    FaultyEnv env;
    env.kill_at = static_cast<int>(i);
    try {
      save(env).ignore_error();
    } catch (const Killed&) {
    }
    const Outcome outcome = reopen();
    ASSERT_NE(outcome, Outcome::broken);
    saw_new += outcome == Outcome::new_database ? 1 : 0;
  }
  EXPECT_GT(saw_new, 0);
}

TEST_F(SaveFailures, AKillWhileAnInterruptedSaveIsFinishedIsFinishedLater) {
  reset();
  FaultyEnv clean;
  ASSERT_TRUE(save(clean).is_ok());
  // Kill the save just after its first rename, then kill the finishing at
  // each of its operations in turn.
  std::size_t first_rename = 0;
  while (clean.log[first_rename].rfind("rename", 0) != 0) ++first_rename;
  for (int j = 0; j < 12; ++j) {
    SCOPED_TRACE("finishing killed before operation " + std::to_string(j));
    reset();
    FaultyEnv env;
    env.kill_at = static_cast<int>(first_rename + 1);
    try {
      save(env).ignore_error();
    } catch (const Killed&) {
    }
    FaultyEnv finishing;
    finishing.kill_at = j;
    try {
      finish_interrupted_replacement(finishing, layout()).ignore_error();
    } catch (const Killed&) {
    }
    EXPECT_EQ(reopen(), Outcome::new_database);
  }
}

TEST_F(SaveFailures, AJournalThatIsNotOneOfOursIsLeftAloneAndNothingIsChanged) {
  for (const std::string& journal :
       {std::string("zenfaro replacement journal 2\nmove\ttemp.tmp\tcommdb.dat\t"),
        std::string("zenfaro replacement journal 2\nmove\t../x\tcommdb.dat\t\t4\tkeep\nend\n"),
        std::string("zenfaro replacement journal 2\nmove\ttemp.tmp\t/etc/x\t\t4\tkeep\nend\n")}) {
    reset();
    write_bytes(journal_file(layout()), journal);
    write_bytes(folder_ / "temp.tmp", "half");
    Database db;
    const Status opened = open_database(default_env(), layout(), &db);
    EXPECT_NE(opened.message().find("is not a journal of this program"), std::string::npos) << opened.message();
    EXPECT_FALSE(write_record_set(db, 1, WriteMode::save, new_lists()).is_ok());
    EXPECT_EQ(read_bytes(journal_file(layout())), journal);
    EXPECT_EQ(read_bytes(folder_ / "commdb.dat"), kOldData);
    EXPECT_EQ(read_bytes(folder_ / "temp.tmp"), "half");
  }
}

}  // namespace
}  // namespace zenfaro

namespace zenfaro {
namespace {

using namespace testing;

// A save killed after its journal was written, whose new file something
// else then changed: the change is given up, with a message naming that
// file, and the database is the old one again.
TEST_F(SaveFailures, AJournalWhoseNewFileWasChangedIsUndoneWithAMessage) {
  reset();
  FaultyEnv clean;
  ASSERT_TRUE(save(clean).is_ok());
  for (const char* killed_before : {"link commdb.dat -> commdb.old", "rename temp.idx -> commdb.idx"}) {
    SCOPED_TRACE(killed_before);
    reset();
    FaultyEnv env;
    env.kill_at = static_cast<int>(std::find(clean.log.begin(), clean.log.end(), killed_before) - clean.log.begin());
    EXPECT_THROW(save(env).ignore_error(), Killed);
    write_bytes(folder_ / "temp.idx", read_bytes(folder_ / "temp.idx") + "x");
    Database db;
    const Status status = open_database(default_env(), layout(), &db);
    EXPECT_NE(status.message().find("temp.idx\" was changed after it was written"), std::string::npos)
        << status.message();
    EXPECT_EQ(reopen(), Outcome::old_database);
  }
}

}  // namespace
}  // namespace zenfaro
