// Saving and deleting records: the files a save leaves, byte for byte.
#include <gtest/gtest.h>

#include "core/check_database.h"
#include "core/write_record_set.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kA = make_record({"a"}, {}, {"line a"});
const Record kB = make_record({"b1", "b2"}, {"x"}, {});
const Record kC = make_record({}, {}, {"c"});
const Record kNew = make_record({"goal", "shot"}, {}, {"What a strike"});

TEST(Saving, ReplacesAppendsAndDeletesKeepingThePreviousDataFile) {
  const Record unsorted = make_record({"Zulu", "alpha", "alpha"}, {}, {"2", "1"});
  const struct { std::int32_t n; WriteMode mode; Record lists; std::vector<Record> after; } rows[] = {
      {2, WriteMode::save, kNew, {kA, kNew, kC}},
      {4, WriteMode::save, kNew, {kA, kB, kC, kNew}},  // the new-record position appends
      {9, WriteMode::save, kNew, {kA, kB, kC, kNew}},  // so does any number above it
      {1, WriteMode::save, unsorted, {unsorted, kB, kC}},  // lists are written in their given order
      {0, WriteMode::save, kNew, {kA, kB, kC}},        // below 1: no record changes
      {-3, WriteMode::save, kNew, {kA, kB, kC}},
      {2, WriteMode::remove, kB, {kA, kC}},            // later records move down
      {3, WriteMode::remove, kC, {kA, kB}},
      {4, WriteMode::remove, kA, {kA, kB, kC}},        // outside: nothing deleted
  };
  DatabaseFolder folder;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.n) + (row.mode == WriteMode::save ? " save" : " delete"));
    folder.store({kA, kB, kC});
    const std::string before = folder.data();
    ASSERT_TRUE(write_record_set(folder.db, row.n, row.mode, row.lists).is_ok());
    EXPECT_EQ(folder.data(), stored(row.after));
    EXPECT_EQ(folder.index(), index_of(row.after));
    EXPECT_EQ(folder.db.record_count, static_cast<std::int32_t>(row.after.size()));
    EXPECT_EQ(read_bytes(folder.base("commdb.old")), before);
    for (const char* gone : {"temp.tmp", "temp.idx", "zenfaro.jrn", "zenfaro.jrn.tmp"}) {
      EXPECT_FALSE(is_file(folder.work(gone))) << gone;
    }
  }
  // The only record deleted: both files empty.
  folder.store({kA});
  ASSERT_TRUE(write_record_set(folder.db, 1, WriteMode::remove, kA).is_ok());
  EXPECT_EQ(folder.data() + folder.index(), "");
  // A first save into no database writes the worked example.
  folder.store_files("", "");
  std::filesystem::remove(folder.layout().data_file());
  ASSERT_TRUE(write_record_set(folder.db, 1, WriteMode::save, kNew).is_ok());
  EXPECT_EQ(folder.data().size(), 42u);
  EXPECT_EQ(read_bytes(folder.base("commdb.old")), "");
}

TEST(Saving, EmptyListsTouchNoFileInEitherMode) {
  DatabaseFolder folder;
  folder.store({kA, kB});
  folder.env.log.clear();
  EXPECT_TRUE(write_record_set(folder.db, 2, WriteMode::save, Record{}).is_ok());
  EXPECT_TRUE(write_record_set(folder.db, 2, WriteMode::remove, Record{}).is_ok());
  EXPECT_TRUE(folder.env.log.empty());
}

// Every record copied is written in canonical form, whatever the data file
// held: records are found by walking it, and the index is rebuilt.
TEST(Saving, EveryCopiedRecordIsRewrittenInCanonicalForm) {
  const struct {
    std::string data;
    std::string after;  // before the saved record kC, appended as the last one
  } rows[] = {
      {"2\r\nx\r\ny\r\n0\r\n  1\t \r\nz\r\n1,\r\n0\r\n0\r\n",
       stored(make_record({"x", "y"}, {}, {"z"})) + stored(make_record({""}, {}, {}))},
      {count(2) + line(std::string(6000, 'x')) + line(std::string("ab\0cd", 5)) + count(0) + count(0),
       stored(make_record({std::string(4999, 'x'), "ab"}, {}, {}))},  // cut as the work buffer cuts
      {stored(kA) + "\r\n", stored(kA) + stored(Record{})},          // stray bytes: an empty record
      {stored(kA) + "\x1A" + stored(kB), stored(kA)},                // 0x1A ends the data
      {count(2) + line("a"), stored(make_record({"a", ""}, {}, {}))},  // cut short
  };
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(row.data, "garbage");  // a wrong index
    ASSERT_TRUE(write_record_set(folder.db, 99, WriteMode::save, kC).is_ok());
    EXPECT_EQ(folder.data(), row.after + stored(kC));
    EXPECT_TRUE(check_database(folder.db).matches);
  }
}

TEST(Saving, ARecordBeyondTheCapacityIsRefusedAndNothingChanges) {
  DatabaseFolder folder;
  const Record long_line = make_record({}, {}, {std::string(40, 'c')});  // 10000 of them fill several buffers
  folder.store(std::vector<Record>(kMaxRecords, long_line));
  const std::string before = folder.data();
  const Status status = write_record_set(folder.db, kMaxRecords + 1, WriteMode::save, kNew);
  EXPECT_EQ(status.message(), "The database can hold at most 10000 records. Nothing was saved.");
  EXPECT_EQ(folder.data(), before);
  EXPECT_FALSE(is_file(folder.base("commdb.old")));
  EXPECT_FALSE(is_file(folder.work("temp.tmp")));
  EXPECT_TRUE(write_record_set(folder.db, kMaxRecords, WriteMode::save, kNew).is_ok());
  std::vector<Record> after(kMaxRecords, long_line);
  after.back() = kNew;
  EXPECT_EQ(folder.data(), stored(after));
  EXPECT_EQ(folder.index(), index_of(after));
}

#ifdef __linux__
// The real file system's own failures reach the caller with the system's
// reason: a full disk (/dev/full), a file written after its close.
TEST(Saving, TheRealFileSystemTellsWhatFailed) {
  std::unique_ptr<WritableFile> full;
  ASSERT_TRUE(default_env().open_writable("/dev/full", OpenMode::truncate, &full).is_ok());
  EXPECT_EQ(full->append("x").reason(), "No space left on device");
  EXPECT_FALSE(full->sync().is_ok());
  EXPECT_TRUE(full->close().is_ok());
  EXPECT_NE(full->append("x").message().find("already closed"), std::string::npos);
  TempFolder folder;
  ASSERT_TRUE(write_string_to_file(default_env(), folder / "one", "x").is_ok());
  EXPECT_EQ(read_bytes(folder / "one"), "x");
}
#endif

// What the user set on the database files survives a save: the permission
// bits, a link to the real file, and a file kept read-only is not replaced.
TEST(Saving, KeepsThePermissionsAndLinksTheUserSetAndRefusesAReadOnlyFile) {
  namespace fs = std::filesystem;
  const struct { fs::perms mode; bool linked; bool refused; } rows[] = {
#ifndef _WIN32  // Windows has only the read-only attribute, and links need rights there
      {fs::perms(0600), false, false}, {fs::perms(0640), true, false},
#endif
      {fs::perms(0444), false, true}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.mode)) + (row.linked ? " linked" : ""));
    folder.store({kA, kB, kC});
    const fs::path data = folder.layout().data_file();
    if (row.linked) {
      write_bytes(folder.work("real/commdb.dat"), folder.data());
      fs::remove(data);
      fs::create_symlink(fs::path("real") / "commdb.dat", data);
    }
    fs::permissions(data, row.mode);
    const std::string before = folder.data();
    const Status status = write_record_set(folder.db, 2, WriteMode::save, kNew);
    EXPECT_EQ(status.is_ok(), !row.refused) << status.message();
    EXPECT_EQ(fs::status(data).permissions(), row.mode);
    EXPECT_EQ(fs::is_symlink(data), row.linked);
    EXPECT_EQ(folder.data() == before, row.refused);
    if (row.refused) {
      EXPECT_NE(status.message().find("is read-only"), std::string::npos);
    }
    if (!row.refused) {
      EXPECT_EQ(read_bytes(folder.base("commdb.old")), before);
    }
    fs::permissions(data, fs::perms::owner_all);
  }
}

// Files no editor writes but a damaged or foreign one may hold: a list
// beyond a list's capacity reads as a damaged record, in bounded time and
// memory, and the rest of the database stays usable.
TEST(Saving, ListsBeyondTheCapacityReadAsADamagedRecord) {
  std::string descending = count(50000);
  for (int i = 50000; i-- > 0;) descending += line("trigger " + std::to_string(100000 + i));
  const struct {
    std::string data;
    std::int64_t walked;  // the CR lines hold the rest of the file as entries of record 1
  } rows[] = {{descending + count(0) + count(0), 2}, {" 2147483647 \r\n" + std::string(40 << 20, '\r'), 1}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(row.data + stored(kA), index_bytes({0, static_cast<std::int32_t>(row.data.size())}));
    Status error;
    EXPECT_TRUE(read_record(folder.db, 1, &error).empty());
    EXPECT_NE(error.message().find("Record 1 is damaged"), std::string::npos);
    EXPECT_EQ(read_record(folder.db, 2), kA);
    EXPECT_EQ(check_database(folder.db).records_walked, row.walked);
  }
}

}  // namespace
}  // namespace zenfaro
