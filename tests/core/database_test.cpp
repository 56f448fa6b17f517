// Loading the record index and reading records by number.
#include <gtest/gtest.h>

#include "core/database.h"
#include "tests/support/faulty_env.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

// The 42-byte record: triggers goal, shot; no exclusion; "What a strike".
const std::string kGoalRecord = count(2) + line("goal") + line("shot") + count(0) + count(1) + line("What a strike");

class DatabaseFiles : public ::testing::Test {
 protected:
  Database load(const std::string& data, const std::string& index) {
    write_bytes(folder_ / "commdb.dat", data);
    write_bytes(folder_ / "commdb.idx", index);
    Database db;
    db.env = &env_;
    db.layout = Layout{folder_.path(), false};
    load_index(db, folder_ / "commdb.idx", folder_ / "commdb.dat");
    return db;
  }
  TempFolder folder_;
  FaultyEnv env_;
};

TEST_F(DatabaseFiles, WorkedExampleRecordIs42BytesAndReadsBack) {
  ASSERT_EQ(kGoalRecord.size(), 42u);
  Database db = load(kGoalRecord + kGoalRecord, index_bytes({0, 42}));
  EXPECT_EQ(db.record_count, 2);
  const Record record = read_record(db, 2);
  EXPECT_EQ(record.list(ListKind::triggers), (EntryList{"goal", "shot"}));
  EXPECT_TRUE(record.list(ListKind::exclusions).empty());
  EXPECT_EQ(record.list(ListKind::lines), (EntryList{"What a strike"}));
}

TEST_F(DatabaseFiles, RecordCountComesFromTheIndexLength) {
  EXPECT_EQ(load("", std::string(12, '\0')).record_count, 3);
  EXPECT_EQ(load(kGoalRecord, "").record_count, 0);
  // 6 bytes: two fields, the second made of bytes 4 and 5 with zero high bytes.
  Database db = load("", std::string("\0\0\0\0\x2A\x01", 6));
  EXPECT_EQ(db.record_count, 2);
  EXPECT_EQ(db.index[2], 0x012A);
  EXPECT_EQ(load("", std::string(5, '\0')).record_count, 1);   // 1.25
  EXPECT_EQ(load("", std::string(10, '\0')).record_count, 2);  // 2.5: halves to even
  EXPECT_EQ(load("", std::string(14, '\0')).record_count, 4);  // 3.5
}

TEST_F(DatabaseFiles, MissingIndexGivesAnEmptyDatabaseEvenWithData) {
  write_bytes(folder_ / "commdb.dat", kGoalRecord);
  Database db;
  db.env = &env_;
  EXPECT_EQ(load_index(db, folder_ / "commdb.idx", folder_ / "commdb.dat"), 0);
}

TEST_F(DatabaseFiles, AnIndexBeyondTheCapacityIsCutToIt) {
  Database db = load("", std::string(4 * 12000, '\0'));
  EXPECT_EQ(db.record_count, kMaxRecords);
  EXPECT_EQ(db.index_fields, 12000);
  EXPECT_TRUE(read_record(db, kMaxRecords + 1).empty());
}

TEST_F(DatabaseFiles, NumbersOutsideTheRecordsReadEmptyWithoutOpeningAFile) {
  Database db = load(kGoalRecord, index_bytes({0}));
  env_.reads.clear();
  for (const std::int32_t n : {2, 99, 0, -1, -2147483647 - 1}) EXPECT_TRUE(read_record(db, n).empty()) << n;
  EXPECT_TRUE(env_.reads.empty());
}

TEST_F(DatabaseFiles, IndexFieldsAtOrPastTheEndOrNegativeReadAsEmptyLists) {
  Database db = load(kGoalRecord, index_bytes({42, 1000000, -5}));
  for (std::int32_t n = 1; n <= 3; ++n) EXPECT_TRUE(read_record(db, n).empty()) << n;
}

TEST_F(DatabaseFiles, RecordCutShortGetsEmptyEntriesForMissingLines) {
  Database db = load(count(3) + line("a"), index_bytes({0}));
  const Record record = read_record(db, 1);
  EXPECT_EQ(record.list(ListKind::triggers), (EntryList{"a", "", ""}));
  EXPECT_TRUE(record.list(ListKind::lines).empty());
}

TEST_F(DatabaseFiles, MissingDataFileReadsEmpty) {
  Database db = load("", index_bytes({0}));
  std::filesystem::remove(folder_ / "commdb.dat");
  Status error;
  EXPECT_TRUE(read_record(db, 1, &error).empty());
  EXPECT_TRUE(error.is_ok());
}

TEST_F(DatabaseFiles, RecordsAreReadInFileOrder) {
  Database db = load(count(2) + line("zeta") + line("Alpha") + count(0) + count(2) + line("b") + line("a"),
                     index_bytes({0}));
  const Record record = read_record(db, 1);
  EXPECT_EQ(record.list(ListKind::triggers), (EntryList{"zeta", "Alpha"}));
  EXPECT_EQ(record.list(ListKind::lines), (EntryList{"b", "a"}));
}

}  // namespace
}  // namespace zenfaro
