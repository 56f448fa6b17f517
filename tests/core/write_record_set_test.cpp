// Saving and deleting records: the files that a save leaves, byte for byte.
#include <gtest/gtest.h>

#include "core/check_database.h"
#include "core/write_record_set.h"
#include "tests/support/faulty_env.h"
#include "tests/support/records.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kA = make_record({"a"}, {}, {"line a"});
const Record kB = make_record({"b1", "b2"}, {"x"}, {});
const Record kC = make_record({}, {}, {"c"});
const Record kNew = make_record({"goal", "shot"}, {}, {"What a strike"});

class Saving : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.env = &env_;
    db_.layout = Layout{folder_.path(), false};
  }
  // Writes the given data and index files and loads them.
  void store(const std::string& data, const std::string& index) {
    write_bytes(folder_ / "commdb.dat", data);
    write_bytes(folder_ / "commdb.idx", index);
    load_index(db_, folder_ / "commdb.idx", folder_ / "commdb.dat");
  }
  void store_abc() {
    const std::string a = stored(kA), b = stored(kB);
    store(a + b + stored(kC), index_bytes({0, static_cast<std::int32_t>(a.size()),
                                           static_cast<std::int32_t>(a.size() + b.size())}));
  }
  std::string data() const { return read_bytes(folder_ / "commdb.dat"); }
  std::string index() const { return read_bytes(folder_ / "commdb.idx"); }
  bool consistent() const { return check_database(db_).matches; }

  TempFolder folder_;
  FaultyEnv env_;
  Database db_;
};

TEST_F(Saving, FirstSaveIntoNoDatabaseWritesTheWorkedExample) {
  db_.data_path = folder_ / "commdb.dat";
  db_.index_path = folder_ / "commdb.idx";
  ASSERT_TRUE(write_record_set(db_, 1, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(data().size(), 42u);
  EXPECT_EQ(data(), stored(kNew));
  EXPECT_EQ(index(), index_bytes({0}));
  EXPECT_EQ(db_.record_count, 1);
  EXPECT_TRUE(is_file(folder_ / "commdb.old"));
  EXPECT_EQ(read_bytes(folder_ / "commdb.old"), "");
  ASSERT_TRUE(write_record_set(db_, 2, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(index(), index_bytes({0, 42}));
}

TEST_F(Saving, ReplacesInPlaceAndKeepsThePreviousDataFileAsBackup) {
  store_abc();
  const std::string before = data();
  ASSERT_TRUE(write_record_set(db_, 2, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(data(), stored(kA) + stored(kNew) + stored(kC));
  EXPECT_EQ(read_bytes(folder_ / "commdb.old"), before);
  EXPECT_FALSE(is_file(folder_ / "temp.tmp"));
  EXPECT_FALSE(is_file(folder_ / "temp.idx"));
  EXPECT_FALSE(is_file(folder_ / "zenfaro.jrn"));
  EXPECT_EQ(db_.record_count, 3);
  EXPECT_TRUE(consistent());
}

TEST_F(Saving, AboveTheLastRecordAppendsAsNumberNPlusOne) {
  for (const std::int32_t n : {4, 9}) {
    store_abc();
    const std::string before = data();
    ASSERT_TRUE(write_record_set(db_, n, WriteMode::save, kNew).is_ok());
    EXPECT_EQ(data(), before + stored(kNew));
    EXPECT_EQ(index().size(), 16u);
    EXPECT_EQ(index().substr(12), index_bytes({static_cast<std::int32_t>(before.size())}));
    EXPECT_EQ(db_.record_count, 4);
  }
}

TEST_F(Saving, DeletingMovesLaterRecordsDown) {
  store_abc();
  ASSERT_TRUE(write_record_set(db_, 2, WriteMode::remove, kB).is_ok());
  EXPECT_EQ(data(), stored(kA) + stored(kC));
  EXPECT_EQ(index().size(), 8u);
  EXPECT_EQ(db_.record_count, 2);
  EXPECT_TRUE(consistent());
}

TEST_F(Saving, DeletingTheOnlyRecordLeavesEmptyFiles) {
  store(stored(kA), index_bytes({0}));
  ASSERT_TRUE(write_record_set(db_, 1, WriteMode::remove, kA).is_ok());
  EXPECT_EQ(data(), "");
  EXPECT_EQ(index(), "");
  EXPECT_EQ(db_.record_count, 0);
}

TEST_F(Saving, NumbersOutsideTheRecordsDeleteNothingAndSaveBelowOneChangesNoRecord) {
  store_abc();
  const std::string before = data();
  ASSERT_TRUE(write_record_set(db_, 4, WriteMode::remove, kA).is_ok());
  EXPECT_EQ(data(), before);
  ASSERT_TRUE(write_record_set(db_, 0, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(data(), before);
  ASSERT_TRUE(write_record_set(db_, -3, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(data(), before);
  EXPECT_EQ(db_.record_count, 3);
}

TEST_F(Saving, EmptyListsTouchNoFileInEitherMode) {
  store_abc();
  env_.log.clear();
  EXPECT_TRUE(write_record_set(db_, 2, WriteMode::save, Record{}).is_ok());
  EXPECT_TRUE(write_record_set(db_, 2, WriteMode::remove, Record{}).is_ok());
  EXPECT_TRUE(env_.log.empty());
  EXPECT_FALSE(is_file(folder_ / "commdb.old"));
}

TEST_F(Saving, EveryCopiedRecordIsWrittenInCanonicalForm) {
  store("2\r\nx\r\ny\r\n0\r\n  1\t \r\nz\r\n" "1,\r\n0\r\n0\r\n", index_bytes({0, 20}));
  ASSERT_TRUE(write_record_set(db_, 3, WriteMode::save, kC).is_ok());
  EXPECT_EQ(data(), count(2) + line("x") + line("y") + count(0) + count(1) + line("z") +
                        count(1) + line("") + count(0) + count(0) + stored(kC));
  EXPECT_TRUE(consistent());
}

TEST_F(Saving, CopiedEntriesAreCutAtNulAnd4999Bytes) {
  const std::string long_entry(6000, 'x');
  store(count(2) + line(long_entry) + line(std::string("ab\0cd", 5)) + count(0) + count(0), index_bytes({0}));
  ASSERT_TRUE(write_record_set(db_, 2, WriteMode::save, kA).is_ok());
  EXPECT_EQ(data(), count(2) + line(std::string(4999, 'x')) + line("ab") + count(0) + count(0) + stored(kA));
}

TEST_F(Saving, AWrongOrMissingIndexIsRebuiltFromTheDataFile) {
  store_abc();
  write_bytes(folder_ / "commdb.idx", "garbage");
  load_index(db_, folder_ / "commdb.idx", folder_ / "commdb.dat");
  std::filesystem::remove(folder_ / "commdb.idx");
  load_index(db_, folder_ / "commdb.idx", folder_ / "commdb.dat");
  EXPECT_EQ(db_.record_count, 0);
  ASSERT_TRUE(write_record_set(db_, 1, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(db_.record_count, 3);
  EXPECT_TRUE(consistent());
  EXPECT_EQ(read_record(db_, 1), kNew);
  EXPECT_EQ(read_record(db_, 3), kC);
}

TEST_F(Saving, StrayBytesAfterTheLastRecordBecomeAnEmptyRecord) {
  store(stored(kA) + "\r\n", index_bytes({0}));
  ASSERT_TRUE(write_record_set(db_, 1, WriteMode::save, kA).is_ok());
  EXPECT_EQ(db_.record_count, 2);
  EXPECT_EQ(data(), stored(kA) + count(0) + count(0) + count(0));
}

TEST_F(Saving, AlwaysWritesTheListsInTheirGivenOrder) {
  store_abc();
  const Record unsorted = make_record({"Zulu", "alpha", "alpha"}, {}, {"2", "1"});
  ASSERT_TRUE(write_record_set(db_, 1, WriteMode::save, unsorted).is_ok());
  EXPECT_EQ(read_record(db_, 1), unsorted);
}

TEST_F(Saving, ARecordBeyondTheCapacityIsRefusedAndNothingChanges) {
  std::string many;
  std::string fields;
  for (int i = 0; i < kMaxRecords; ++i) {
    fields += index_bytes({static_cast<std::int32_t>(many.size())});
    many += stored(kC);
  }
  store(many, fields);
  const Status status = write_record_set(db_, kMaxRecords + 1, WriteMode::save, kNew);
  EXPECT_EQ(status.code(), Status::Code::refused);
  EXPECT_NE(status.message().find("10000"), std::string::npos);
  EXPECT_EQ(data(), many);
  EXPECT_FALSE(is_file(folder_ / "commdb.old"));
  EXPECT_FALSE(is_file(folder_ / "temp.tmp"));
  // Replacing one of the 10000 is fine.
  EXPECT_TRUE(write_record_set(db_, kMaxRecords, WriteMode::save, kNew).is_ok());
}

TEST_F(Saving, DataCutOffByEndOfDataByteLosesWhatFollowsIt) {
  store(stored(kA) + "\x1A" + stored(kB), index_bytes({0}));
  ASSERT_TRUE(write_record_set(db_, 2, WriteMode::save, kC).is_ok());
  EXPECT_EQ(data(), stored(kA) + stored(kC));
}

}  // namespace
}  // namespace zenfaro

namespace zenfaro {
namespace {

using namespace testing;

// What the user set on the database files survives a save: the permission
// bits, a link to the real file, and a file kept read-only is not replaced.
TEST_F(Saving, KeepsThePermissionsAndLinksTheUserSetAndRefusesAReadOnlyFile) {
  namespace fs = std::filesystem;
  struct Case {
    fs::perms data_mode;
    bool linked;
    bool refused;
  };
  for (const Case c : {Case{fs::perms(0600), false, false}, Case{fs::perms(0640), true, false},
                       Case{fs::perms(0444), false, true}}) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.data_mode)) + (c.linked ? " linked" : ""));
    fs::remove_all(folder_.path());
    fs::create_directories(folder_.path() / "real");
    store_abc();
    if (c.linked) {
      fs::rename(folder_ / "commdb.dat", folder_ / "real" / "commdb.dat");
      fs::create_symlink(fs::path("real") / "commdb.dat", folder_ / "commdb.dat");
    }
    fs::permissions(folder_ / "commdb.dat", c.data_mode);
    const std::string before = data();
    const Status status = write_record_set(db_, 2, WriteMode::save, kNew);
    EXPECT_EQ(!status.is_ok(), c.refused) << status.message();
    EXPECT_EQ(fs::status(folder_ / "commdb.dat").permissions(), c.data_mode);
    EXPECT_EQ(fs::is_symlink(folder_ / "commdb.dat"), c.linked);
    if (c.refused) {
      EXPECT_NE(status.message().find("read-only"), std::string::npos);
      EXPECT_EQ(data(), before);
    } else {
      EXPECT_EQ(read_record(db_, 2), kNew);
      EXPECT_EQ(read_bytes(folder_ / "commdb.old"), before);
    }
    fs::permissions(folder_ / "commdb.dat", fs::perms::owner_all);
  }
}

// Files no editor writes but a damaged or foreign one may hold: reading them
// stays bounded in time and memory.
TEST_F(Saving, OversizedListsAreReadInBoundedTimeAndMemory) {
  // 50,000 triggers in descending order (2 MB): shown sorted at once.
  std::string data = count(50000);
  for (int i = 50000; i-- > 0;) data += line("trigger " + std::to_string(100000 + i));
  store(data + count(0) + count(0), index_bytes({0}));
  Status error;
  const Record big = read_record(db_, 1, &error);
  EXPECT_EQ(error.code(), Status::Code::refused);  // more than a list can hold
  EXPECT_TRUE(big.empty());
  // A count of 2147483647 over 40 MB of bare CR bytes.
  store(" 2147483647 \r\n" + std::string(40 << 20, '\r'), index_bytes({0}));
  EXPECT_TRUE(read_record(db_, 1, &error).empty());
  EXPECT_NE(error.message().find("damaged"), std::string::npos);
  const IndexCheck check = check_database(db_);
  EXPECT_EQ(check.records_walked, 1);
}

}  // namespace
}  // namespace zenfaro
