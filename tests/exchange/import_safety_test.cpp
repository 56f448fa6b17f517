// The import never loses the database: capacities are refused before
// anything of it changes, and whichever file operation fails, or wherever
// the program is killed, the database is afterwards the old one or the new
// one, whole, and a failure is reported.
#include "exchange/import_commentary.h"

#include "core/check_database.h"
#include "core/replace_files.h"
#include "tests/exchange/exchange_fixture.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kStored1 = make_record({"a"}, {}, {"old line"});
const Record kStored2 = make_record({"b"}, {}, {});
const Record kIncoming = make_record({"a"}, {}, {"new line"});
const Record kNew = make_record({"c"}, {}, {"c line"});
const std::vector<Record> kNewRecords = {make_record({"a"}, {}, {"old line", "new line"}), kStored2, kNew};

class ImportSafety : public ExchangeFolder {
 protected:
  void reset() {
    fs::remove_all(folder_.path());
    fs::create_directories(folder_.path());
    store({kStored1, kStored2});
    old_data_ = file("commdb.dat");
    old_index_ = file("commdb.idx");
    write_bytes(folder_ / "in.CMX", exchange_of({kIncoming, kNew}));
    prompt_ = ScriptedPrompt();
    prompt_.answers = {true};
  }
  ImportResult run() {
    env_.log.clear();
    return import_told("in.CMX").result;
  }
  bool unchanged() const { return file("commdb.dat") == old_data_ && file("commdb.idx") == old_index_; }

  enum class Outcome { old_database, new_database, broken };
  // Opens the folder as the program does at its next start.
  Outcome reopen() {
    Database db;
    open_database(default_env(), db_.layout, &db).ignore_error();
    if (is_file(journal_file(db_.layout)) || !check_database(db).matches) return Outcome::broken;
    if (unchanged()) return Outcome::old_database;
    std::vector<Record> got;
    for (std::int32_t n = 1; n <= db.record_count; ++n) got.push_back(read_record(db, n));
    return got == kNewRecords ? Outcome::new_database : Outcome::broken;
  }

  std::string old_data_;
  std::string old_index_;
};

TEST_F(ImportSafety, EachFailingOperationLeavesTheOldOrTheNewDatabaseAndTellsTheTruth) {
  reset();
  ASSERT_EQ(run(), ImportResult::completed);
  const std::vector<std::string> operations = env_.log;
  std::string all;
  for (const std::string& op : operations) all += op + "\n";
  for (const char* kind : {"lock zenfaro.lck", "create tempfile.tmp", "write tempfile2.tmp", "sync tempfile2.idx",
                           "write zenfaro.log", "sync zenfaro.log", "rename tempfile2.tmp -> commdb.dat",
                           "rename tempfile2.idx -> commdb.idx", "link commdb.dat -> importold.dat",
                           "remove importold.dat", "remove zenfaro.jrn"}) {
    EXPECT_NE(all.find(kind), std::string::npos) << kind << " in\n" << all;
  }

  for (std::size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE("failing: " + operations[i]);
    reset();
    env_.fail_at = static_cast<int>(i);
    const ImportResult result = run();
    env_.fail_at = -1;
    const Outcome outcome = reopen();
    ASSERT_NE(outcome, Outcome::broken);
    if (outcome == Outcome::old_database) {
      EXPECT_EQ(result, ImportResult::failed);
      ASSERT_EQ(prompt_.errors(), 1);
      EXPECT_NE(prompt_.messages[0].text.find("Injected failure"), std::string::npos);
      EXPECT_EQ(db_.record_count, 2);
      // A block that could not be written whole is taken back.
      if (operations[i].find(" zenfaro.log") != std::string::npos) {
        EXPECT_FALSE(exists("zenfaro.log"));
      }
    } else {
      EXPECT_EQ(result, ImportResult::completed);
      EXPECT_EQ(db_.record_count, 3);
      EXPECT_EQ(prompt_.errors(), 0);
    }
  }
}

TEST_F(ImportSafety, AKillAtAnyMomentLeavesTheOldOrTheNewDatabaseAtTheNextStart) {
  reset();
  ASSERT_EQ(run(), ImportResult::completed);
  const std::size_t operations = env_.log.size();
  int saw_new = 0;
  int saw_old = 0;
  for (std::size_t i = 0; i <= operations; ++i) {
    SCOPED_TRACE("killed before operation " + std::to_string(i));
    reset();
    env_.kill_at = static_cast<int>(i);
    try {
      run();
    } catch (const Killed&) {
    }
    env_.kill_at = -1;
    const Outcome outcome = reopen();
    ASSERT_NE(outcome, Outcome::broken);
    saw_new += outcome == Outcome::new_database ? 1 : 0;
    saw_old += outcome == Outcome::old_database ? 1 : 0;
  }
  EXPECT_GT(saw_new, 0);
  EXPECT_GT(saw_old, 0);
}

TEST_F(ImportSafety, AnInterruptedReplacementIsFinishedBeforeTheNextImport) {
  reset();
  ASSERT_EQ(run(), ImportResult::completed);
  std::size_t second_rename = 0;
  for (int seen = 0; second_rename < env_.log.size(); ++second_rename) {
    if (env_.log[second_rename].rfind("rename", 0) == 0 && ++seen == 2) break;
  }
  reset();
  env_.kill_at = static_cast<int>(second_rename);
  EXPECT_THROW(run(), Killed);
  env_.kill_at = -1;
  // The data file is new, the index still old: the next import finishes the
  // replacement first and imports into the new database.
  write_bytes(folder_ / "in.CMX", exchange_of({}));
  prompt_.answers = {true};
  ASSERT_EQ(run(), ImportResult::completed);
  EXPECT_EQ(reopen(), Outcome::new_database);
}

class Capacities : public ExchangeFolder {
 protected:
  ImportResult import_file(const std::string& exchange) {
    write_bytes(folder_ / "in.CMX", exchange);
    prompt_.answers = {true};
    return import_told("in.CMX").result;
  }
  void expect_refused(ImportResult result, const std::string& words) {
    EXPECT_EQ(result, ImportResult::refused);
    EXPECT_TRUE(prompt_.questions.empty());
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].icon, Icon::error);
    EXPECT_NE(prompt_.messages[0].text.find(words), std::string::npos) << prompt_.messages[0].text;
    EXPECT_NE(prompt_.messages[0].text.find("Nothing was imported."), std::string::npos);
    EXPECT_FALSE(exists("zenfaro.log"));
    EXPECT_FALSE(exists("tempfile2.tmp"));
  }
};

TEST_F(Capacities, MoreThan32000AnnouncedRecordsAreRefusedBeforeTheyAreRead) {
  store({kStored1});
  const std::string data = file("commdb.dat");
  expect_refused(import_file(exchange_header(32001)), "32001");
  EXPECT_FALSE(exists("hashes2.txt"));
  EXPECT_EQ(file("commdb.dat"), data);
}

TEST_F(Capacities, ExactlyTheCapacitiesPass) {
  std::string exchange = exchange_header(2) + count(5000);
  for (int i = 0; i < 5000; ++i) exchange += line(std::to_string(i));
  exchange += count(0) + count(0) + stored(kNew);
  EXPECT_EQ(import_file(exchange), ImportResult::completed);
  EXPECT_EQ(db_.record_count, 2);
}

TEST_F(Capacities, AnIncomingListOfMoreThan5000EntriesIsRefused) {
  std::string exchange = exchange_header(2) + stored(kNew) + count(0) + count(0) + count(5001);
  for (int i = 0; i < 5001; ++i) exchange += line("l");
  expect_refused(import_file(exchange), "Record 2 of the exchange file");
}

TEST_F(Capacities, AMergedDatabaseOfMoreThan10000RecordsIsRefused) {
  std::vector<Record> stored_records(9999, kStored2);
  store(stored_records);
  const std::string data = file("commdb.dat");
  expect_refused(import_file(exchange_of({kNew, make_record({"d"}, {}, {})})), "10001");
  EXPECT_EQ(file("impres.txt"), line("Record 1 is new.") + line("Record 2 is new."));
  EXPECT_FALSE(exists("tempfile.tmp"));
  EXPECT_EQ(file("commdb.dat"), data);
}

TEST_F(Capacities, AMergedListOfMoreThan32000DistinctEntriesIsRefused) {
  // Seven incoming records of 5000 distinct lines each extend one record.
  store({make_record({"a"}, {}, {})});
  std::string exchange = exchange_header(7);
  for (int r = 0; r < 7; ++r) {
    exchange += count(1) + line("a") + count(0) + count(5000);
    for (int i = 0; i < 5000; ++i) exchange += line(std::to_string(r * 5000 + i));
  }
  expect_refused(import_file(exchange), "32000 different entries");
  EXPECT_EQ(db_.record_count, 1);
}

TEST_F(Capacities, AnIndexListingMoreRecordsThanItCanHoldIsRefused) {
  store_files("", std::string(4 * 10001, '\0'));
  expect_refused(import_file(exchange_of({})), "10001");
}

TEST_F(Capacities, TheImportsOwnFilesCannotBeImported) {
  store({kStored1});
  for (const char* name : {"tempfile.tmp", "zenfaro.log", "commdb.dat", "tempfile2.tmp"}) {
    SCOPED_TRACE(name);
    for (const char* own : {"zenfaro.log", "tempfile.tmp", "tempfile2.tmp"}) write_bytes(folder_ / own, exchange_of({kNew}));
    prompt_ = ScriptedPrompt();
    prompt_.answers = {true};
    EXPECT_EQ(import_told(name).result, ImportResult::refused);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_NE(prompt_.messages[0].text.find(name), std::string::npos);
  }
  for (const char* own : {"zenfaro.log", "tempfile.tmp", "tempfile2.tmp"}) EXPECT_EQ(file(own), exchange_of({kNew}));
}

}  // namespace
}  // namespace zenfaro
