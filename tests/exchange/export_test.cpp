// Export Commentary: the exchange file byte for byte, and the refusals and
// failures that must not pass for success.
#include "exchange/export_commentary.h"

#include "tests/exchange/exchange_fixture.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kGoal = make_record({"goal", "shot"}, {}, {"What a strike"});

class Exporting : public ExchangeFolder {
 protected:
  Status run(const std::string& name = "out.CMX") {
    records_ = -1;
    return export_commentary(db_, folder_ / name, &records_);
  }
  std::int32_t records_ = -1;
};

TEST_F(Exporting, WorkedExampleIs126Bytes) {
  store({kGoal});
  ASSERT_TRUE(run().is_ok());
  const std::string expected = exchange_header(1) + stored(kGoal);
  EXPECT_EQ(expected.size(), 126u);
  EXPECT_EQ(file("out.CMX"), expected);
  EXPECT_EQ(records_, 1);
}

TEST_F(Exporting, EmptyDatabaseIs84Bytes) {
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(file("out.CMX").size(), 84u);
  EXPECT_EQ(file("out.CMX"), exchange_header(0));
  EXPECT_EQ(records_, 0);
  EXPECT_EQ(export_message(records_, "C:\\x\\out.CMX"), "0 commentary entries were exported to C:\\x\\out.CMX.");
}

TEST_F(Exporting, EmptyListsEmptyEntriesAndLoneLineFeedsPassUnchanged) {
  const std::vector<Record> records = {make_record({}, {}, {}), make_record({""}, {"a\nb"}, {"", "x\n"})};
  store(records);
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(file("out.CMX"), exchange_of(records));
}

TEST_F(Exporting, CountLinesComeOutInCanonicalForm) {
  store_files("3\r\na\r\nb\r\nc\r\n\t0,1 \r\nz\r\n", index_bytes({0}));
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(file("out.CMX"), exchange_header(1) + count(3) + "a\r\nb\r\nc\r\n" + count(0) + count(1) + line("z"));
}

TEST_F(Exporting, RecordsFollowTheIndexAndMissingDataReadsAsEmpty) {
  const std::string a = stored(kGoal);
  // Record 2 points past the end of the data file.
  store_files(a, index_bytes({0, 1000}));
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(file("out.CMX"), exchange_header(2) + a + count(0) + count(0) + count(0));
  EXPECT_EQ(records_, 2);
}

TEST_F(Exporting, AnExistingFileIsReplacedWhole) {
  store({kGoal});
  write_bytes(folder_ / "out.CMX", std::string(5000, 'x'));
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(file("out.CMX"), exchange_of({kGoal}));
}

TEST_F(Exporting, TheDatabaseFilesAreRefusedAsTarget) {
  store({kGoal});
  const std::string data = file("commdb.dat");
  const std::string index = file("commdb.idx");
  for (const char* name : {"commdb.dat", "commdb.idx", "./commdb.dat"}) {
    SCOPED_TRACE(name);
    const Status status = run(name);
    EXPECT_EQ(status.code(), Status::Code::refused);
    EXPECT_NE(status.message().find("commdb."), std::string::npos);
  }
  EXPECT_EQ(file("commdb.dat"), data);
  EXPECT_EQ(file("commdb.idx"), index);
  EXPECT_TRUE(env_.log.empty());
}

TEST_F(Exporting, ATargetThatCannotBeCreatedIsReported) {
  store({kGoal});
  const Status status = export_commentary(db_, folder_ / "no such folder" / "out.CMX", &records_);
  EXPECT_FALSE(status.is_ok());
  EXPECT_NE(status.message().find("could not be exported"), std::string::npos);
  EXPECT_EQ(records_, -1);
}

TEST_F(Exporting, EachFailingOperationIsReportedAndLeavesTheOldFileWhole) {
  store({kGoal, kGoal});
  write_bytes(folder_ / "out.CMX", "old export");
  env_.log.clear();
  ASSERT_TRUE(run().is_ok());
  const std::vector<std::string> operations = env_.log;
  ASSERT_GE(operations.size(), 5u);  // create, write, sync, close, chmod, rename
  for (std::size_t i = 0; i < operations.size(); ++i) {
    if (operations[i].rfind("remove", 0) == 0) continue;
    SCOPED_TRACE("failing: " + operations[i]);
    write_bytes(folder_ / "out.CMX", "old export");
    env_.log.clear();
    env_.fail_at = static_cast<int>(i);
    const Status status = run();
    env_.fail_at = -1;
    EXPECT_NE(status.message().find("Injected failure"), std::string::npos);
    EXPECT_NE(status.message().find("The existing file was left as it was."), std::string::npos);
    EXPECT_EQ(records_, -1);
    EXPECT_EQ(file("out.CMX"), "old export");
    EXPECT_FALSE(exists("out.CMX.part"));
  }
}

TEST_F(Exporting, TheProgramsOwnFilesAreRefusedAndAUsersPartFileIsKept) {
  store({kGoal});
  for (const char* name : {"temp.tmp", "commdb.old", "zenfaro.log", "tempfile2.tmp", "HASHES2.TXT", "zenfaro.lck"}) {
    EXPECT_EQ(run(name).code(), Status::Code::refused) << name;
  }
  write_bytes(folder_ / "out.CMX.part", "the user's");
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(file("out.CMX.part"), "the user's");
  EXPECT_EQ(file("out.CMX"), exchange_of({kGoal}));
}

}  // namespace
}  // namespace zenfaro
