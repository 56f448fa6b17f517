// Every change (save, delete, import), in both layouts, whichever operation or read fails (alone or onwards) or
// wherever it is killed (losing what was not synced): the next start finds the old or the new database, whole.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/replace_files.h"
#include "core/write_record_set.h"
#include "exchange/import_commentary.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;
using Outcome = DatabaseFolder::Outcome;

const Record kFirst = make_record({"a"}, {}, {"old line"});
const Record kSecond = make_record({"b"}, {}, {});
const Record kSaved = make_record({"a"}, {}, {"old line", "new line"});
const Record kIncoming = make_record({"c"}, {"x"}, {"in"});

struct Change {
  const char* name;
  std::vector<Record> after;
  Status (*run)(DatabaseFolder&);
};
const Change kChanges[] = {
    {"save", {kSaved, kSecond}, [](DatabaseFolder& f) { return write_record_set(f.db, 1, WriteMode::save, kSaved); }},
    {"delete", {kFirst}, [](DatabaseFolder& f) { return write_record_set(f.db, 2, WriteMode::remove, kSecond); }},
    {"import",
     {kFirst, kSecond, kIncoming},
     [](DatabaseFolder& f) {
       f.prompt.answers = {true};
       const ImportOutcome outcome = import_commentary(f.db, f.work("in.CMX").u8string(), f.prompt);
       return outcome.result == ImportResult::completed ? Status::ok() : Status::io_error(outcome.message);
     }},
};

class Failures : public ::testing::TestWithParam<std::tuple<int, bool>> {
 protected:
  const Change& change() const { return kChanges[std::get<0>(GetParam())]; }
  // Runs the change on the old database with `env` set up by `arrange`; a kill loses what was not synced.
  template <typename Arrange>
  Status run(Arrange arrange) {
    folder_.env.reset();
    folder_.store({kFirst, kSecond});
    write_bytes(folder_.work("in.CMX"), exchange_of({kIncoming}));
    folder_.env.log.clear();
    arrange(folder_.env);
    Status status = Status::io_error("killed");
    try {
      status = change().run(folder_);
    } catch (const Killed&) {
      folder_.env.drop_unsynced_data();
    }
    const std::vector<std::string> log = folder_.env.log;
    folder_.env.reset();
    folder_.env.log = log;  // what the change did, for the next runs
    return status;
  }
  // The database the next start finds; the change (unless killed) must have told the truth about it.
  Outcome check(const Status& status, bool killed = false) {
    const std::vector<Record>& after = change().after;  // a success left it in place, not for the next start
    if (status.is_ok()) {
      EXPECT_EQ(folder_.data() + folder_.index(), stored(after) + index_of(after));
    }
    const Outcome outcome = folder_.outcome(after);
    EXPECT_NE(outcome, Outcome::broken);
    if (killed) return outcome;
    const bool logged = read_bytes(folder_.work("zenfaro.log")).find(stored({kFirst, kSecond})) != std::string::npos;
    EXPECT_TRUE(outcome == Outcome::old_database || std::string(change().name) != "import" || logged);  // its only copy
    const bool told_later = status.message().find("the next time") != std::string::npos;
    EXPECT_TRUE(outcome == Outcome::old_database ? !status.is_ok() : status.is_ok() || told_later) << status.message();
    return outcome;
  }
  DatabaseFolder folder_{std::get<1>(GetParam())};
};

TEST_P(Failures, EachFailingOperationLeavesTheOldOrTheNewDatabase) {
  run([](FaultyEnv&) {}).ignore_error();
  const std::vector<std::string> operations = folder_.env.log;
  ASSERT_EQ(check(Status::ok()), Outcome::new_database);
  const auto decided = std::find(operations.begin(), operations.end(), "rename zenfaro.jrn.tmp -> zenfaro.jrn");
  for (const bool onwards : {false, true}) {
    for (std::size_t i = 0; i < operations.size(); ++i) {
      SCOPED_TRACE((onwards ? "failing from: " : "failing: ") + operations[i]);
      const Status status = run([&](FaultyEnv& env) {
        env.fail_at = static_cast<int>(i);
        env.fail_onwards = onwards;
      });
      // A failure before the journal is never a success.
      const bool clean_up = operations[i].rfind("remove ", 0) == 0;  // of what an earlier run left
      EXPECT_TRUE(!status.is_ok() || clean_up || i > static_cast<std::size_t>(decided - operations.begin()));
      const bool told = status.message().find("Injected failure") != std::string::npos;
      EXPECT_TRUE(check(status) != Outcome::old_database || told) << status.message();
    }
  }
}

TEST_P(Failures, EachFailingReadLeavesTheOldDatabaseAndSaysSo) {
  const Status clean = run([](FaultyEnv& env) { env.count_reads = true; });
  ASSERT_TRUE(clean.is_ok());
  const std::vector<std::string> operations = folder_.env.log;
  for (std::size_t i = 0; i < operations.size(); ++i) {
    if (operations[i].rfind("read ", 0) != 0 && operations[i].rfind("open ", 0) != 0) continue;
    SCOPED_TRACE("failing: " + operations[i]);
    check(run([&](FaultyEnv& env) {
      env.count_reads = true;
      env.fail_at = static_cast<int>(i);
    }));
  }
}

TEST_P(Failures, AKillAnywhereLeavesTheDatabaseThatTheJournalDecided) {
  run([](FaultyEnv&) {}).ignore_error();
  const std::vector<std::string> operations = folder_.env.log;
  const auto decided = std::find(operations.begin(), operations.end(), "rename zenfaro.jrn.tmp -> zenfaro.jrn");
  ASSERT_NE(decided, operations.end());
  for (std::size_t i = 0; i <= operations.size(); ++i) {
    SCOPED_TRACE("killed before: " + (i < operations.size() ? operations[i] : "the end"));
    const Outcome outcome = check(run([&](FaultyEnv& env) { env.kill_at = static_cast<int>(i); }), true);
    const bool journal_written = i > static_cast<std::size_t>(decided - operations.begin());
    EXPECT_EQ(outcome, journal_written ? Outcome::new_database : Outcome::old_database);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryChange, Failures, ::testing::Combine(::testing::Range(0, 3), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<int, bool>>& info) {
                           return std::string(kChanges[std::get<0>(info.param)].name) +
                                  (std::get<1>(info.param) ? "InTheHostLayout" : "Standalone");
                         });

// The number of the last `operation` in a save of kSaved over the old database, which is then stored again.
int save_step(DatabaseFolder& folder, const std::string& operation) {
  folder.env.reset();
  folder.store({kFirst, kSecond});
  EXPECT_TRUE(write_record_set(folder.db, 1, WriteMode::save, kSaved).is_ok());
  const std::vector<std::string> log = folder.env.log;
  folder.env.reset();
  folder.store({kFirst, kSecond});
  return static_cast<int>(std::find(log.rbegin(), log.rend(), operation).base() - log.begin()) - 1;
}

// Saves kSaved over the old database, killed `after` operations past `operation` of a save that runs through.
void save_killed_at(DatabaseFolder& folder, const std::string& operation, int after = 0) {
  folder.env.kill_at = save_step(folder, operation) + after;
  EXPECT_THROW(write_record_set(folder.db, 1, WriteMode::save, kSaved).ignore_error(), Killed);
  folder.env.reset();
}

// A replacement cut short is finished by whatever comes next, even when that is cut short in turn.
TEST(Recovery, AnInterruptedReplacementIsFinishedWhateverComesNext) {
  DatabaseFolder folder;
  for (int next = 0; next < 14; ++next) {
    SCOPED_TRACE(next);
    save_killed_at(folder, "rename temp.tmp -> commdb.dat", 1);
    folder.env.kill_at = next;  // the finishing, killed at each of its steps
    try {
      finish_interrupted_replacement(folder.env, folder.layout()).ignore_error();
    } catch (const Killed&) {}
    folder.env.reset();
    if (next % 2 == 1) {  // the next change finishes it first, then goes on
      folder.reopen();
      ASSERT_TRUE(write_record_set(folder.db, 3, WriteMode::save, kIncoming).is_ok());
      EXPECT_EQ(folder.outcome({kSaved, kSecond, kIncoming}), Outcome::new_database);
    } else {
      EXPECT_EQ(folder.outcome({kSaved, kSecond}), Outcome::new_database);
    }
  }
  // Moves that could not be made durable keep their journal, so the next start makes sure of them.
  folder.env.fail_at = save_step(folder, "syncdir " + FaultyEnv::name(folder.layout().database_folder()));
  EXPECT_TRUE(write_record_set(folder.db, 1, WriteMode::save, kSaved).is_ok());
  EXPECT_TRUE(is_file(journal_file(folder.layout())));
  EXPECT_EQ(folder.outcome({kSaved, kSecond}), Outcome::new_database);
}

// A journal is acted on only when it is the program's own, names only its files, and those are as written.
TEST(Recovery, JournalsThatCannotBeTrustedMoveNothing) {
  DatabaseFolder folder;
  const struct {
    std::string journal;
    const char* message;
  } foreign[] = {{"zenfaro replacement journal 2\nmove\ttemp.tmp\tcommdb.dat\t", "is not a journal of this program"},
                 {"zenfaro replacement journal 2\nmove\t../x\tcommdb.dat\t\t4\tkeep\nend\n", "is not a journal"},
                 {"zenfaro replacement journal 2\nmove\ttemp.tmp\t/etc/x\t\t4\tkeep\nend\n", "is not a journal"},
                 {"zenfaro replacement journal 2\nundo\tcommdb.dat\tnotes.txt\nend\n", "is not a journal"},
                 {"my own notes", "Move it out of the folder"}};
  for (const auto& row : foreign) {
    folder.store({kFirst, kSecond});
    write_bytes(journal_file(folder.layout()), row.journal);
    write_bytes(folder.work("temp.tmp"), "half");
    Database db;
    EXPECT_NE(open_database(default_env(), folder.layout(), &db).message().find(row.message), std::string::npos);
    EXPECT_FALSE(write_record_set(db, 1, WriteMode::save, kSaved).is_ok());
    EXPECT_EQ(read_bytes(journal_file(folder.layout())) + read_bytes(folder.work("temp.tmp")), row.journal + "half");
    EXPECT_EQ(folder.records(), (std::vector<Record>{kFirst, kSecond}));
  }
  // An undo cut short is finished as an undo: the backups go back, those still there.
  folder.store({kFirst, kSecond});
  write_bytes(folder.base("commdb.old"), folder.data());
  write_bytes(folder.layout().data_file(), stored(kSaved));
  write_bytes(journal_file(folder.layout()),
              "zenfaro replacement journal 2\nundo\tcommdb.dat\tcommdb.old\n"
              "undo\tcommdb.idx\timportold.idx\nend\n");
  EXPECT_TRUE(folder.outcome({}) == Outcome::old_database && !is_file(folder.base("commdb.old")));
  // A save killed after its journal, its new file then changed: the old database is put back, with a message.
  for (const char* killed_before : {"link commdb.dat -> commdb.old", "rename temp.idx -> commdb.idx"}) {
    SCOPED_TRACE(killed_before);
    save_killed_at(folder, killed_before);
    write_bytes(folder.work("temp.idx"), read_bytes(folder.work("temp.idx")) + "x");
    Database db;
    EXPECT_NE(open_database(default_env(), folder.layout(), &db)
                  .message()
                  .find("temp.idx\" was changed after it was written. The database was left as it was before"),
              std::string::npos);
    EXPECT_EQ(folder.outcome({}), Outcome::old_database);
  }
}

}  // namespace
}  // namespace zenfaro
