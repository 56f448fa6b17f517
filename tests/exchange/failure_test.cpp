// Every change (save, delete, import), in both layouts, whichever operation or read fails (alone, onwards, or two of
// them), wherever it is killed (losing what was not made durable, in either crash mode), and killed after a failure:
// the next start finds the old or the new database, whole, and a change that returned told the truth about which.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/file_digest.h"
#include "core/replace_files.h"
#include "core/write_record_set.h"
#include "exchange/import_commentary.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;
using Outcome = DatabaseFolder::Outcome;
using Crash = FaultyEnv::Crash;

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

// The operation that decides a change: the sync of the folder into which its journal was renamed, or the rename
// itself where names reach the disk unsynced.
std::size_t decided_at(const std::vector<std::string>& operations, bool names_kept = false) {
  const auto renamed = std::find(operations.begin(), operations.end(), "rename zenfaro.jrn.tmp -> zenfaro.jrn");
  EXPECT_NE(renamed, operations.end());
  if (names_kept) return static_cast<std::size_t>(renamed - operations.begin());
  return static_cast<std::size_t>(
      std::find_if(renamed, operations.end(),
                   [](const std::string& operation) { return operation.rfind("syncdir ", 0) == 0; }) -
      operations.begin());
}

class Failures : public ::testing::TestWithParam<std::tuple<int, bool>> {
 protected:
  const Change& change() const { return kChanges[std::get<0>(GetParam())]; }
  // Runs the change on the old database with `env` set up by `arrange`. A kill, or with `crash` the end of the
  // change, loses what was not made durable.
  template <typename Arrange>
  Status run(Arrange arrange, bool crash = false) {
    folder_.env.reset();
    folder_.store({kFirst, kSecond});
    write_bytes(folder_.work("in.CMX"), exchange_of({kIncoming}));
    folder_.env.log.clear();
    arrange(folder_.env);
    Status status = Status::io_error("killed");
    try {
      status = change().run(folder_);
      if (crash) folder_.env.crash();
    } catch (const Killed&) {
      folder_.env.crash();
    }
    const std::vector<std::string> log = folder_.env.log;
    folder_.env.reset();
    folder_.env.log = log;  // what the change did, for the next runs
    return status;
  }
  // The database the next start finds; the change (unless killed) must have told the truth about it, and a success
  // (unless a crash followed) left the new database in place, not for the next start to make.
  Outcome check(const Status& status, bool killed = false, bool crashed = false) {
    const std::vector<Record>& after = change().after;
    if (status.is_ok() && !killed && !crashed) {
      EXPECT_EQ(folder_.data() + folder_.index(), stored(after) + index_of(after));
    }
    const Outcome outcome = folder_.outcome(after);
    EXPECT_NE(outcome, Outcome::broken);
    const bool logged = read_bytes(folder_.work("zenfaro.log")).find(stored({kFirst, kSecond})) != std::string::npos;
    EXPECT_TRUE(outcome == Outcome::old_database || std::string(change().name) != "import" || logged);  // its only copy
    if (killed) return outcome;
    const bool told_later = status.message().find("the next time") != std::string::npos;
    EXPECT_TRUE(outcome == Outcome::old_database ? !status.is_ok() : status.is_ok() || told_later) << status.message();
    return outcome;
  }
  std::vector<std::string> clean_run() {
    run([](FaultyEnv&) {}).ignore_error();
    return folder_.env.log;
  }
  DatabaseFolder folder_{std::get<1>(GetParam())};
};

TEST_P(Failures, EachFailingOperationLeavesTheOldOrTheNewDatabase) {
  const std::vector<std::string> operations = clean_run();
  ASSERT_EQ(check(Status::ok()), Outcome::new_database);
  const std::size_t decided = decided_at(operations);
  for (const bool onwards : {false, true}) {
    for (std::size_t i = 0; i < operations.size(); ++i) {
      SCOPED_TRACE((onwards ? "failing from: " : "failing: ") + operations[i]);
      const Status status = run([&](FaultyEnv& env) {
        env.fail_at = static_cast<int>(i);
        env.fail_onwards = onwards;
      });
      // A failure before the journal is never a success.
      const bool clean_up = operations[i].rfind("remove ", 0) == 0;  // of what an earlier run left
      EXPECT_TRUE(!status.is_ok() || clean_up || i > decided);
      const bool told = status.message().find("Injected failure") != std::string::npos;
      EXPECT_TRUE(check(status) != Outcome::old_database || told) << status.message();
    }
  }
}

// Two operations fail: the second one in the undo of the first, or in the finishing of the change.
TEST_P(Failures, TwoFailingOperationsLeaveTheOldOrTheNewDatabase) {
  const std::vector<std::string> operations = clean_run();
  for (std::size_t i = 0; i < operations.size(); ++i) {
    run([&](FaultyEnv& env) { env.fail_at = static_cast<int>(i); }).ignore_error();
    const std::vector<std::string> failed_once = folder_.env.log;
    for (std::size_t j = i + 1; j < failed_once.size(); ++j) {
      SCOPED_TRACE("failing: " + operations[i] + ", then " + failed_once[j]);
      check(run([&](FaultyEnv& env) {
        env.fail_at = static_cast<int>(i);
        env.fail_too = static_cast<int>(j);
      }));
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

const Crash kCrashes[] = {Crash::drop_all, Crash::keep_removals, Crash::keep_names};
std::string crash_name(Crash mode) {
  return mode == Crash::drop_all        ? "losing all, "
         : mode == Crash::keep_removals ? "keeping removals, "
                                        : "keeping names, ";
}

// Killed before any operation, or just after the change returned, with all that was not made durable lost (all of
// it, all but the removals, or only the unsynced bytes): once its journal is in place, the change is made; before,
// nothing of it is.
TEST_P(Failures, AKillAnywhereLeavesTheDatabaseThatTheJournalDecided) {
  const std::vector<std::string> operations = clean_run();
  for (const Crash mode : kCrashes) {
    const std::size_t decided = decided_at(operations, mode == Crash::keep_names);
    for (std::size_t i = 0; i <= operations.size(); ++i) {
      SCOPED_TRACE(crash_name(mode) + "killed before: " + (i < operations.size() ? operations[i] : "the end"));
      const bool at_end = i == operations.size();
      const Status status = run(
          [&](FaultyEnv& env) {
            env.kill_at = at_end ? -1 : static_cast<int>(i);
            env.crash_mode = mode;
          },
          at_end);
      EXPECT_EQ(check(status, !at_end, at_end), i > decided ? Outcome::new_database : Outcome::old_database);
    }
  }
}

// A failure, then a kill at any later moment (in the undo, in the clean-up, or just after the change returned, then
// in every crash mode).
TEST_P(Failures, AKillAfterAFailureLeavesTheOldOrTheNewDatabase) {
  const std::vector<std::string> operations = clean_run();
  for (std::size_t i = 0; i < operations.size(); ++i) {
    run([&](FaultyEnv& env) { env.fail_at = static_cast<int>(i); }).ignore_error();
    const std::size_t length = folder_.env.log.size();
    for (std::size_t j = i + 1; j <= length; ++j) {
      const bool at_end = j == length;
      for (const Crash mode : kCrashes) {
        if (!at_end && mode != Crash::drop_all) continue;
        SCOPED_TRACE(crash_name(mode) + "failing: " + operations[i] + ", killed " + std::to_string(j - i) +
                     " operations later");
        check(run(
                  [&](FaultyEnv& env) {
                    env.fail_at = static_cast<int>(i);
                    env.kill_at = at_end ? -1 : static_cast<int>(j);
                    env.crash_mode = mode;
                  },
                  at_end),
              !at_end, at_end);
      }
    }
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
    folder.env.crash();
    folder.env.kill_at = next;  // the finishing, killed at each of its steps
    try {
      finish_interrupted_replacement(folder.env, folder.layout()).ignore_error();
    } catch (const Killed&) {}
    folder.env.crash();
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

// The journal of a save of kSaved, as the program writes it, over the files now in `folder`: the new files temp.tmp
// and temp.idx, the backup commdb.old.
Journal save_journal(const DatabaseFolder& folder) {
  Journal journal{ReplacementKind::save, false, std::vector<JournalLine>(2)};
  for (int target = 0; target < 2; ++target) {
    JournalLine& line = journal.lines[static_cast<std::size_t>(target)];
    digest_file(default_env(), folder.work(target == 0 ? "temp.tmp" : "temp.idx"), &line.digest).ignore_error();
    line.replaced = identity_of(default_env().file_info(folder.base(target == 0 ? "commdb.dat" : "commdb.idx")));
  }
  journal.lines[0].backup = identity_of(default_env().file_info(folder.base("commdb.old")));
  return journal;
}

// A journal is acted on only when it has a shape the program writes and the files it names are as it wrote them
// down; otherwise nothing moves, the journal is named, and no change is made until it is moved away.
TEST(Recovery, JournalsThatCannotBeTrustedMoveNothing) {
  DatabaseFolder folder;
  const auto forged = [&folder](const std::function<void(Journal&)>& change) {
    Journal journal = save_journal(folder);
    change(journal);
    return journal_text(journal);
  };
  const auto undo = [&folder](std::uint64_t off_by) {  // the backup to go back over the data file
    Journal journal{ReplacementKind::save, true, std::vector<JournalLine>(1)};
    journal.lines[0].replaced = identity_of(default_env().file_info(folder.base("commdb.dat")));
    journal.lines[0].replaced.file_id += off_by;
    journal.lines[0].backup = identity_of(default_env().file_info(folder.base("commdb.old")));
    return journal_text(journal);
  };
  const std::string foreign = "is not a journal of this program";
  const std::string changed = "is not as the journal";
  const struct {
    std::function<std::string()> journal;
    std::string message, names;
  } rows[] = {
      {[] { return std::string("my own notes"); }, foreign, "zenfaro.jrn"},
      // The shapes of the issue: the previous data file, the index, or the index as the data file put back.
      {[] { return std::string("zenfaro replacement journal 2\nundo\tcommdb.dat\tcommdb.old\nend\n"); }, foreign, ""},
      {[] { return std::string("zenfaro replacement journal 2\nundo\tcommdb.idx\tcommdb.old\nend\n"); }, foreign, ""},
      {[] {
         return std::string("zenfaro replacement journal 2\nmove\ttemp.idx\tcommdb.dat\tcommdb.old\t4\tdrop\nend\n");
       },
       foreign, ""},
      {[] { return std::string("zenfaro journal 3\nundo save\nindex\t1:2:3\t1:2:3\nend\n"); }, foreign, ""},
      {[&] { return forged([](Journal&) {}) + "more\n"; }, foreign, ""},
      {[&] { return forged([](Journal&) {}) + std::string(kMaxJournalBytes, '\n'); }, foreign, ""},
      {[&] {
         std::string text = forged([](Journal&) {});
         return text.replace(text.find("here"), 4, "../x");
       },
       foreign, ""},
      // Well formed, but the files are not those it names.
      {[&] { return forged([](Journal& j) { j.lines[0].replaced.file_id += 1; }); }, changed, "commdb.dat"},
      {[&] { return forged([](Journal& j) { j.lines[1].replaced.size += 1; }); }, changed, "commdb.idx"},
      {[&] { return forged([](Journal& j) { j.lines[0].backup.present = false; }); }, foreign, ""},
      // A transfer writes its new files beside the game's, never in the host layout's working folder.
      {[&] {
         return forged([](Journal& j) {
           j.kind = ReplacementKind::transfer;
           j.lines[0].place = NewFilePlace::host;
         });
       },
       foreign, ""},
      {[&] { return forged([](Journal& j) { j.lines[0].backup.size += 1; }); }, changed, "commdb.old"},
      {[&] { return undo(1); }, changed, "commdb.dat"},
  };
  for (const auto& row : rows) {
    folder.store({kFirst, kSecond});
    write_bytes(folder.work("temp.tmp"), stored({kSaved, kSecond}));
    write_bytes(folder.work("temp.idx"), index_of({kSaved, kSecond}));
    fs::copy_file(folder.layout().data_file(), folder.base("commdb.old"));
    const std::string journal = row.journal();
    SCOPED_TRACE(journal.substr(0, 200));
    write_bytes(journal_file(folder.layout()), journal);
    const std::string files = folder.data() + folder.index() + read_bytes(folder.base("commdb.old")) +
                              read_bytes(folder.work("temp.tmp")) + read_bytes(folder.work("temp.idx")) + journal;
    Database db;
    const std::string message = open_database(default_env(), folder.layout(), &db).message();
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
    EXPECT_NE(message.find("zenfaro.jrn"), std::string::npos) << message;
    EXPECT_NE(message.find(row.names), std::string::npos) << message;
    EXPECT_FALSE(write_record_set(db, 1, WriteMode::save, kSaved).is_ok());
    EXPECT_EQ(folder.data() + folder.index() + read_bytes(folder.base("commdb.old")) +
                  read_bytes(folder.work("temp.tmp")) + read_bytes(folder.work("temp.idx")) +
                  read_bytes(journal_file(folder.layout())),
              files);
  }
}

// A journal larger than a journal can be is refused by its size, without being read.
TEST(Recovery, AnOversizedJournalIsRefusedUnread) {
  DatabaseFolder folder;
  folder.store({kFirst});
  write_bytes(journal_file(folder.layout()), "");
#ifdef _WIN32
  fs::resize_file(journal_file(folder.layout()), kMaxJournalBytes + 1);
#else
  fs::resize_file(journal_file(folder.layout()), 3ull << 30);  // 3 GB, sparse
#endif
  folder.env.reset();
  folder.env.count_reads = true;
  Database db;
  EXPECT_NE(open_database(folder.env, folder.layout(), &db).message().find("is not a journal of this program"),
            std::string::npos);
  for (const std::string& operation : folder.env.log) EXPECT_EQ(operation.find("zenfaro.jrn"), std::string::npos);
}

// A save killed after its journal, its new file then changed: the change is given up, and what was moved put back.
TEST(Recovery, AChangedNewFileGivesTheChangeUp) {
  DatabaseFolder folder;
  for (const char* killed_before : {"rename temp.tmp -> commdb.dat", "rename temp.idx -> commdb.idx"}) {
    SCOPED_TRACE(killed_before);
    save_killed_at(folder, killed_before);
    folder.env.crash();
    write_bytes(folder.work("temp.idx"), read_bytes(folder.work("temp.idx")) + "x");
    Database db;
    EXPECT_NE(open_database(default_env(), folder.layout(), &db)
                  .message()
                  .find("temp.idx\" was changed after it was written. The database was left as it was before"),
              std::string::npos);
    EXPECT_EQ(folder.outcome({}), Outcome::old_database);
  }
}

// A save killed between its two moves, its backup then replaced by another file: the journal no longer describes
// what is on disk, so nothing more is moved.
TEST(Recovery, AReplacedBackupStopsAHalfDoneSave) {
  DatabaseFolder folder;
  save_killed_at(folder, "rename temp.idx -> commdb.idx");
  folder.env.crash();
  fs::remove(folder.base("commdb.old"));
  write_bytes(folder.base("commdb.old"), "planted");
  const std::string index = folder.index();
  Database db;
  const std::string message = open_database(default_env(), folder.layout(), &db).message();
  EXPECT_NE(message.find("commdb.old\" is not as the journal"), std::string::npos) << message;
  EXPECT_TRUE(folder.index() == index && is_file(folder.work("temp.idx")) && is_file(journal_file(folder.layout())));
}

// An undo cut short is finished as an undo; one with nothing left to undo just ends.
TEST(Recovery, AnUndoIsFinishedOrEndsWhenNothingIsLeftToUndo) {
  DatabaseFolder folder;
  folder.store({kFirst, kSecond});
  fs::create_hard_link(folder.layout().data_file(), folder.base("commdb.old"));
  write_bytes(folder.work("new"), stored(kSaved));
  fs::rename(folder.work("new"), folder.layout().data_file());  // the new data file moved in, the index not
  Journal journal{ReplacementKind::save, true, std::vector<JournalLine>(1)};
  journal.lines[0].replaced = identity_of(default_env().file_info(folder.layout().data_file()));
  journal.lines[0].backup = identity_of(default_env().file_info(folder.base("commdb.old")));
  write_bytes(journal_file(folder.layout()), journal_text(journal));
  EXPECT_TRUE(folder.outcome({}) == Outcome::old_database && !is_file(folder.base("commdb.old")));
  write_bytes(journal_file(folder.layout()), journal_text(journal));  // the backup is back already
  EXPECT_TRUE(folder.outcome({}) == Outcome::old_database && !is_file(journal_file(folder.layout())));
}

// A change that failed is never made later: not after a failed link, not after a failed first move and a kill.
TEST(Recovery, AFailedChangeIsNeverMadeLater) {
  DatabaseFolder folder;
  for (const char* failing : {"link commdb.dat -> commdb.old", "rename temp.tmp -> commdb.dat"}) {
    SCOPED_TRACE(failing);
    folder.env.fail_at = save_step(folder, failing);
    EXPECT_FALSE(write_record_set(folder.db, 1, WriteMode::save, kSaved).is_ok());
    folder.env.crash();  // a kill right after the failure was told
    folder.env.reset();
    EXPECT_EQ(folder.outcome({}), Outcome::old_database);
    EXPECT_TRUE(write_record_set(folder.db, 2, WriteMode::save, kIncoming).is_ok());  // nothing stands in the way
  }
}

// The journal lives beside the database, so the host layout and the database folder opened as a folder of its own
// see the same one: neither undoes what the other did later.
TEST(Recovery, BothLayoutsOfOneDatabaseShareItsJournal) {
  DatabaseFolder host(true);
  save_killed_at(host, "rename temp.tmp -> commdb.dat");
  host.env.crash();
  const Layout plain{host.layout().database_folder(), false};
  Database db;
  ASSERT_TRUE(open_database(default_env(), plain, &db).is_ok());  // finishes the host layout's save
  ASSERT_TRUE(write_record_set(db, 3, WriteMode::save, kIncoming).is_ok());
  host.reopen();
  EXPECT_EQ(host.outcome({kSaved, kSecond, kIncoming}), Outcome::new_database);
}

}  // namespace
}  // namespace zenfaro
