// Export Commentary: the exchange file byte for byte, and the refusals and
// failures that must not pass for success.
#include <gtest/gtest.h>

#include <algorithm>

#include "exchange/export_commentary.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kGoal = make_record({"goal", "shot"}, {}, {"What a strike"});

Status run(DatabaseFolder& folder, std::int32_t* records, const char* name = "out.CMX") {
  *records = -1;
  return export_commentary(folder.db, folder.work(name), records);
}

TEST(Exporting, TheExchangeFileIsTheStoredRecordsInCanonicalForm) {
  const struct {
    std::string data;
    std::string index;
    std::string records;  // what follows the header
    std::int32_t count;
  } rows[] = {
      {stored(kGoal), index_bytes({0}), stored(kGoal), 1},  // the worked example, 126 bytes
      {"", "", "", 0},                                      // the empty database, 84 bytes
      {stored(make_record({""}, {"a\nb"}, {"", "x\n"})), index_bytes({0}),
       stored(make_record({""}, {"a\nb"}, {"", "x\n"})), 1},
      {"3\r\na\r\nb\r\nc\r\n\t0,1 \r\nz\r\n", index_bytes({0}), stored(make_record({"a", "b", "c"}, {}, {"z"})), 1},
      {stored(kGoal), index_bytes({0, 1000, -1}), stored(kGoal) + stored(Record{}) + stored(Record{}), 3},
      {std::string(6000, 'q') + "\r\n", index_bytes({0}), stored(Record{}), 1},  // an entry line read as a count
  };
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(row.data, row.index);
    std::int32_t records = 0;
    ASSERT_TRUE(run(folder, &records).is_ok());
    EXPECT_EQ(read_bytes(folder.work("out.CMX")), exchange_header(row.count) + row.records);
    EXPECT_EQ(records, row.count);
  }
  folder.store({kGoal});
  std::int32_t records = 0;
  ASSERT_TRUE(run(folder, &records).is_ok());
  EXPECT_EQ(read_bytes(folder.work("out.CMX")).size(), 126u);
  EXPECT_EQ(export_message(0, "C:\\x\\out.CMX"), "0 commentary entries were exported to C:\\x\\out.CMX.");
}

TEST(Exporting, TheProgramsOwnFilesAreRefusedAndAUsersFilesKept) {
  DatabaseFolder folder;
  folder.store({kGoal});
  const std::string data = folder.data();
  for (const char* name : {"commdb.dat", "commdb.idx", "./commdb.dat", "temp.tmp", "commdb.old", "zenfaro.log",
                           "tempfile2.tmp", "HASHES2.TXT", "zenfaro.lck", "zenfaro.jrn"}) {
    std::int32_t records = 0;
    const Status status = run(folder, &records, name);
    EXPECT_EQ(status.code(), Status::Code::refused) << name;
    EXPECT_EQ(records, -1);
  }
  std::int32_t records = 0;
  EXPECT_NE(run(folder, &records, "commdb.dat").message().find("it would be destroyed"), std::string::npos);
  EXPECT_EQ(folder.data(), data);
  // A file that happens to have the name the export writes beside its
  // target is not the export's to overwrite.
  write_bytes(folder.work("out.CMX.part"), "the user's");
  ASSERT_TRUE(run(folder, &records).is_ok());
  EXPECT_EQ(read_bytes(folder.work("out.CMX.part")), "the user's");
  EXPECT_EQ(read_bytes(folder.work("out.CMX")), exchange_of({kGoal}));
}

// The export writes beside its target and puts the file in place whole:
// whatever fails, an existing target stays as it was and the failure is
// told, never the closing message.
TEST(Exporting, EachFailingOperationLeavesTheOldFileWholeAndSaysSo) {
  DatabaseFolder folder;
  folder.store({kGoal, kGoal});
  folder.env.count_reads = true;
  std::int32_t records = 0;
  write_bytes(folder.work("out.CMX"), "old export");
  folder.env.log.clear();
  ASSERT_TRUE(run(folder, &records).is_ok());
  const std::vector<std::string> operations = folder.env.log;
  EXPECT_NE(std::find(operations.begin(), operations.end(), "create out.CMX.part"), operations.end());
  ASSERT_GE(operations.size(), 7u);  // open, read, create, write, sync, close, chmod, rename
  for (std::size_t i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE("failing: " + operations[i]);
    write_bytes(folder.work("out.CMX"), "old export");
    folder.env.log.clear();
    folder.env.fail_at = static_cast<int>(i);
    const Status status = run(folder, &records);
    folder.env.fail_at = -1;
    EXPECT_NE(status.message().find("Injected failure"), std::string::npos) << status.message();
    EXPECT_NE(status.message().find("The existing file was left as it was."), std::string::npos);
    EXPECT_EQ(records, -1);
    EXPECT_EQ(read_bytes(folder.work("out.CMX")), "old export");
    EXPECT_FALSE(is_file(folder.work("out.CMX.part")));
  }
}

}  // namespace
}  // namespace zenfaro
