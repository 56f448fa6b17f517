// Import stages 7 to 12 on confirmed imports: the merge work file, the
// rebuilt database with duplicate removal, the files left behind and the
// reload.
#include "exchange/import_commentary.h"

#include "core/check_database.h"
#include "tests/exchange/exchange_fixture.h"

namespace zenfaro {
namespace {

using namespace testing;

const std::string kEnd = line("*!**!*");

class Merging : public ExchangeFolder {
 protected:
  ImportResult import(const std::vector<Record>& incoming, bool confirm = true) {
    return import_file(exchange_of(incoming), confirm);
  }
  ImportResult import_file(const std::string& exchange, bool confirm = true) {
    write_bytes(folder_ / "in.CMX", exchange);
    prompt_.answers = {confirm};
    return import_told("in.CMX").result;
  }
  // The database files as a reopening finds them.
  std::vector<Record> reopened() {
    Database db;
    db.layout = db_.layout;
    load_index(db, db.layout.index_file(), db.layout.data_file());
    std::vector<Record> result;
    for (std::int32_t n = 1; n <= db.record_count; ++n) result.push_back(read_record(db, n));
    EXPECT_TRUE(check_database(db).matches);
    return result;
  }
};

TEST_F(Merging, ExtendingLinesAreAppendedWithoutDuplicates) {
  store({make_record({"a"}, {}, {"x"}), make_record({"goal"}, {}, {"B", "C"})});
  ASSERT_EQ(import({make_record({"goal"}, {}, {"A", "B"})}), ImportResult::completed);
  const std::vector<Record> expected = {make_record({"a"}, {}, {"x"}), make_record({"goal"}, {}, {"B", "C", "A"})};
  EXPECT_EQ(reopened(), expected);
  EXPECT_EQ(db_.record_count, 2);
  EXPECT_EQ(records(), expected);
}

TEST_F(Merging, SeveralExtendingRecordsFollowInFileOrder) {
  store({make_record({"a"}, {}, {"x"}), make_record({"goal"}, {}, {"own"})});
  const Record other = make_record({"z"}, {}, {"new"});
  ASSERT_EQ(import({other, other, other, other, make_record({"goal"}, {}, {"five", "own"}), other, other, other,
                    make_record({"goal"}, {}, {"nine", "five"})}),
            ImportResult::completed);
  const std::vector<Record> got = reopened();
  ASSERT_EQ(got.size(), 9u);  // two stored and seven new
  EXPECT_EQ(got[1], make_record({"goal"}, {}, {"own", "five", "nine"}));
  EXPECT_EQ(got[2], other);
  EXPECT_EQ(got[8], other);
}

TEST_F(Merging, TheMergeWorkFileHoldsListsWithTerminatorsAndNoCounts) {
  store({make_record({"t"}, {"x"}, {"l1", "l1"})});
  ASSERT_EQ(import({make_record({"t"}, {"x"}, {"l2"}), make_record({}, {}, {})}), ImportResult::completed);
  EXPECT_EQ(file("tempfile.tmp"),
            line("t") + kEnd + line("x") + kEnd + line("l1") + line("l1") + line("l2") + kEnd + kEnd + kEnd + kEnd);
  // The duplicate "l1" is gone from the new database.
  const std::string record1 = count(1) + line("t") + count(1) + line("x") + count(2) + line("l1") + line("l2");
  EXPECT_EQ(file("commdb.dat"), record1 + count(0) + count(0) + count(0));
  EXPECT_EQ(file("commdb.idx"), index_bytes({0, static_cast<std::int32_t>(record1.size())}));
}

TEST_F(Merging, IdenticalRecordsBringNothingButDuplicatesGoEverywhere) {
  // A stored trigger list holding "a" twice keeps it once after any import.
  store({make_record({"a", "a", "b"}, {}, {"", "", "x", ""}), make_record({"c"}, {}, {})});
  ASSERT_EQ(import({}), ImportResult::completed);
  EXPECT_EQ(reopened(), (std::vector<Record>{make_record({"a", "b"}, {}, {"", "x"}), make_record({"c"}, {}, {})}));
}

TEST_F(Merging, EntriesAreNeverComparedAcrossListsOrRecords) {
  store({make_record({"same"}, {"same"}, {"same"}), make_record({"same"}, {}, {"Same", "same"})});
  ASSERT_EQ(import({}), ImportResult::completed);
  EXPECT_EQ(reopened(),
            (std::vector<Record>{make_record({"same"}, {"same"}, {"same"}), make_record({"same"}, {}, {"Same", "same"})}));
}

TEST_F(Merging, NewRecordsFollowInExchangeFileOrder) {
  const std::vector<Record> incoming = {make_record({"1"}, {}, {}), make_record({"2"}, {}, {"two"}),
                                        make_record({}, {"3"}, {})};
  ASSERT_EQ(import(incoming), ImportResult::completed);
  EXPECT_EQ(reopened(), incoming);
}

TEST_F(Merging, AnEntryThatReadsLikeTheTerminatorComesThroughIntact) {
  const std::string terminator = "*!**!*";
  store({make_record({terminator}, {}, {"x"})});
  const Record incoming = make_record({"t"}, {terminator, terminator}, {terminator, "", terminator + "!"});
  ASSERT_EQ(import({make_record({terminator}, {}, {terminator}), incoming}), ImportResult::completed);
  EXPECT_EQ(reopened(), (std::vector<Record>{make_record({terminator}, {}, {"x", terminator}),
                                             make_record({"t"}, {terminator}, {terminator, "", terminator + "!"})}));
  // Every other entry keeps its form in the work file.
  EXPECT_NE(file("tempfile.tmp").find(line(terminator + "!")), std::string::npos);
}

TEST_F(Merging, EntriesOfAnyLengthAndLoneLineFeedsPassWhole) {
  const std::string long_entry(9000, 'q');
  const std::vector<Record> incoming = {make_record({long_entry}, {"a\nb"}, {"\n", "x\n"})};
  ASSERT_EQ(import(incoming), ImportResult::completed);
  EXPECT_EQ(reopened(), incoming);
}

TEST_F(Merging, TheFilesLeftAfterACompletedImport) {
  store({make_record({"a"}, {}, {"x"})});
  write_bytes(folder_ / "commdb.old", "older backup");
  ASSERT_EQ(import({make_record({"b"}, {}, {})}), ImportResult::completed);
  for (const char* name : {"hashes.txt", "hashes2.txt", "impres.txt", "tempfile.tmp", "zenfaro.log", "commdb.dat",
                           "commdb.idx"}) {
    EXPECT_TRUE(exists(name)) << name;
  }
  for (const char* name : {"tempfile2.tmp", "tempfile2.idx", "zenfaro.jrn", "importold.dat", "importold.idx"}) {
    EXPECT_FALSE(exists(name)) << name;
  }
  // The import makes no backup of its own.
  EXPECT_EQ(file("commdb.old"), "older backup");
}

TEST_F(Merging, DecliningChangesNothingAndLeavesTheNewFiles) {
  store({make_record({"a"}, {}, {"x"})});
  const std::string data = file("commdb.dat");
  const std::string index = file("commdb.idx");
  EXPECT_EQ(import({make_record({"b"}, {}, {})}, false), ImportResult::declined);
  EXPECT_EQ(file("commdb.dat"), data);
  EXPECT_EQ(file("commdb.idx"), index);
  EXPECT_EQ(db_.record_count, 1);
  EXPECT_EQ(file("tempfile2.tmp"), data + stored(make_record({"b"}, {}, {})));
  EXPECT_EQ(file("tempfile2.idx"), index_bytes({0, static_cast<std::int32_t>(data.size())}));
  EXPECT_FALSE(exists("zenfaro.log"));
}

TEST_F(Merging, AStoredRecordCutShortContributesEmptyEntries) {
  // Record 1 announces two triggers but the file ends after one.
  store_files(count(2) + line("a"), index_bytes({0}));
  ASSERT_EQ(import({}), ImportResult::completed);
  EXPECT_EQ(file("commdb.dat"), count(2) + line("a") + line("") + count(0) + count(0));
}

class Logging : public Merging {
 protected:
  std::string block(const std::string& data_lines, const std::string& exchange_lines) {
    const std::time_t now = std::time(nullptr);
    return line(log_date_today(now)) + line("*** Log start") + line("Logging: COMMDB.DAT") + data_lines +
           line("Logging: " + path_of("in.CMX")) + exchange_lines + line("*** Log end");
  }
  static std::string log_date_today(std::time_t now) {
    char text[16];
    std::strftime(text, sizeof text, "%m-%d-%Y", std::localtime(&now));
    return text;
  }
};

TEST_F(Logging, EachConfirmedImportAppendsOneBlock) {
  store({make_record({"a"}, {}, {"x"})});
  const std::string old_data = file("commdb.dat");
  const std::string exchange = exchange_of({make_record({"b"}, {}, {})});
  write_bytes(folder_ / "zenfaro.log", line("older block"));
  ASSERT_EQ(import({make_record({"b"}, {}, {})}), ImportResult::completed);
  EXPECT_EQ(file("zenfaro.log"), line("older block") + block(old_data, exchange));
}

TEST_F(Logging, LinesAreReEndedAndTheCopyStopsAt1A) {
  store_files(count(1) + "a\nb\r\n" + count(0) + count(0) + "stray", index_bytes({0}));
  write_bytes(folder_ / "in.CMX", exchange_header(0) + "after\x1Ahidden\r\n");
  prompt_.answers = {true};
  ASSERT_EQ(import_told("in.CMX").result, ImportResult::completed);
  EXPECT_EQ(file("zenfaro.log"),
            block(count(1) + "a\nb\r\n" + count(0) + count(0) + line("stray"), exchange_header(0) + line("after")));
}

TEST_F(Logging, AMissingDataFileLogsNothingUnderItsName) {
  write_bytes(folder_ / "commdb.idx", "");
  reload();
  const std::string exchange = exchange_of({make_record({"b"}, {}, {})});
  ASSERT_EQ(import({make_record({"b"}, {}, {})}), ImportResult::completed);
  EXPECT_EQ(file("zenfaro.log"), block("", exchange));
}

}  // namespace
}  // namespace zenfaro
