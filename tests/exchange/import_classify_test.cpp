// Import stages 1 to 6: the header check, the fingerprint reports and the
// classification, as the files hashes.txt, hashes2.txt and impres.txt show.
#include "exchange/import_commentary.h"

#include "exchange/fingerprint.h"
#include "exchange/import_reports.h"
#include "tests/exchange/exchange_fixture.h"

namespace zenfaro {
namespace {

using namespace testing;

const Record kGoal = make_record({"goal", "shot"}, {}, {"What a strike"});
const Record kSave = make_record({"save"}, {"own goal"}, {"Great hands", "Tipped over"});
const Record kCorner = make_record({"corner"}, {}, {"Swung in"});

std::string hash_line(const Record& record) { return line(fingerprint_text(fingerprints_of(record).full)); }

class Classifying : public ExchangeFolder {
 protected:
  // Imports `exchange` and declines the confirmation.
  ImportResult import_declined(const std::string& exchange) {
    write_bytes(folder_ / "in.CMX", exchange);
    return [this] {
      const ImportOutcome outcome = import_told("in.CMX");
      summary_ = outcome.summary;
      return outcome.result;
    }();
  }
  ImportSummary summary_;
};

TEST_F(Classifying, EveryRecordOfAnEmptyDatabaseIsNew) {
  EXPECT_EQ(import_declined(exchange_of({kGoal, kSave})), ImportResult::declined);
  EXPECT_EQ(file("hashes.txt"), "");
  EXPECT_EQ(file("hashes2.txt"), hash_line(kGoal) + hash_line(kSave));
  EXPECT_EQ(file("impres.txt"), line("Record 1 is new.") + line("Record 2 is new."));
  EXPECT_EQ(summary_.new_records, 2);
  EXPECT_EQ(summary_.merged, 2);
}

TEST_F(Classifying, AnExportOfTheSameDatabaseIsIdenticalRecordByRecord) {
  store({kGoal, kSave, kCorner});
  EXPECT_EQ(import_declined(exchange_of({kGoal, kSave, kCorner})), ImportResult::declined);
  EXPECT_EQ(file("hashes.txt"), hash_line(kGoal) + hash_line(kSave) + hash_line(kCorner));
  EXPECT_EQ(file("hashes2.txt"), file("hashes.txt"));
  EXPECT_EQ(file("impres.txt"), line("Record 1 is identical to stored record 1 ") +
                                    line("Record 2 is identical to stored record 2 ") +
                                    line("Record 3 is identical to stored record 3 "));
  EXPECT_EQ(summary_.identical, 3);
}

TEST_F(Classifying, EqualTriggerFingerprintsAreReportedAgainstTheFirstStoredRecord) {
  const Record other_goal = make_record({"goal", "shot"}, {}, {"Another line"});
  store({kSave, kGoal, other_goal});
  import_declined(exchange_of({kSave, kGoal, other_goal}));
  EXPECT_EQ(file("impres.txt"), line("Record 1 is identical to stored record 1 ") +
                                    line("Record 2 is identical to stored record 2 ") +
                                    line("Record 3 extends stored record 2 "));
}

TEST_F(Classifying, OtherCommentaryLinesExtendAndOtherOrderCounts) {
  store({kCorner, kSave});
  const Record reordered = make_record({"save"}, {"own goal"}, {"Tipped over", "Great hands"});
  const Record more = make_record({"save"}, {"own goal"}, {"New line"});
  import_declined(exchange_of({reordered, more, kGoal, kGoal}));
  EXPECT_EQ(file("impres.txt"), line("Record 1 extends stored record 2 ") + line("Record 2 extends stored record 2 ") +
                                    line("Record 3 is new.") + line("Record 4 is new."));
  EXPECT_EQ(summary_.extending, 2);
  EXPECT_EQ(summary_.new_records, 2);
  EXPECT_EQ(summary_.merged, 4);
  EXPECT_EQ(summary_.announced, 4);
}

TEST_F(Classifying, NegativeFingerprintsAreWrittenWithTheirSign) {
  store({make_record({"a"}, {}, {})});
  import_declined(exchange_of({make_record({"abc"}, {}, {})}));
  EXPECT_EQ(file("hashes.txt"), line("-1034026632 "));
  EXPECT_EQ(file("hashes2.txt"), line(" 148534000 "));
}

TEST_F(Classifying, AStoredRecordThatCannotBeReadFingerprintsAsEmpty) {
  // The data file is missing, the index lists two records.
  write_bytes(folder_ / "commdb.idx", index_bytes({0, 0}));
  reload();
  import_declined(exchange_of({make_record({}, {}, {})}));
  EXPECT_EQ(file("hashes.txt"), line(" 12345678 ") + line(" 12345678 "));
  EXPECT_EQ(file("impres.txt"), line("Record 1 is identical to stored record 1 "));
}

TEST_F(Classifying, MissingRecordsOfAShortFileReadAsEmptyRecords) {
  import_declined(exchange_header(3) + stored(kGoal));
  EXPECT_EQ(file("hashes2.txt"), hash_line(kGoal) + line(" 12345678 ") + line(" 12345678 "));
  EXPECT_EQ(file("impres.txt"), line("Record 1 is new.") + line("Record 2 is new.") + line("Record 3 is new."));
}

TEST_F(Classifying, ZeroRecordsStillLeadToTheConfirmation) {
  store({kGoal});
  EXPECT_EQ(import_declined(exchange_of({})), ImportResult::declined);
  EXPECT_EQ(file("hashes2.txt"), "");
  EXPECT_EQ(file("impres.txt"), "");
  ASSERT_EQ(prompt_.questions.size(), 1u);
  EXPECT_EQ(prompt_.questions[0].text, "Are you sure you want to import 0 records ?");
}

TEST_F(Classifying, TheConfirmationCountsEveryAnnouncedRecord) {
  store({kGoal});
  import_declined(exchange_of({kGoal}));
  ASSERT_EQ(prompt_.questions.size(), 1u);
  const Question& q = prompt_.questions[0];
  EXPECT_EQ(q.text, "Are you sure you want to import 1 records ?");
  EXPECT_EQ(q.caption, "Confirm Import");
  EXPECT_EQ(q.icon, Icon::question);
  EXPECT_FALSE(q.default_yes);
  EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(Classifying, ANegativeRecordCountIsAskedAsIs) {
  import_declined(exchange_header(-2));
  ASSERT_EQ(prompt_.questions.size(), 1u);
  EXPECT_EQ(prompt_.questions[0].text, "Are you sure you want to import -2 records ?");
  EXPECT_EQ(file("impres.txt"), "");
}

class Rejecting : public Classifying {
 protected:
  void expect_rejected(const std::string& exchange) {
    store({kGoal});
    write_bytes(folder_ / "impres.txt", "old report");
    EXPECT_EQ(import_declined(exchange), ImportResult::rejected);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, "Not a commentary file.");
    EXPECT_EQ(prompt_.messages[0].caption, kDefaultCaption);
    EXPECT_EQ(prompt_.messages[0].icon, Icon::none);
    EXPECT_TRUE(prompt_.questions.empty());
    // hashes.txt is rewritten; nothing else changes.
    EXPECT_EQ(file("hashes.txt"), hash_line(kGoal));
    EXPECT_EQ(file("impres.txt"), "old report");
    EXPECT_FALSE(exists("hashes2.txt"));
    EXPECT_FALSE(exists("tempfile.tmp"));
  }
};

TEST_F(Rejecting, AFileWithoutTheDataSection) {
  expect_rejected(line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99"));
}

TEST_F(Rejecting, AFileThatDoesNotExist) {
  store({kGoal});
  EXPECT_EQ(import_told("missing.CMX").result, ImportResult::rejected);
  ASSERT_EQ(prompt_.messages.size(), 1u);
  EXPECT_EQ(prompt_.messages[0].text, "Not a commentary file.");
}

}  // namespace
}  // namespace zenfaro
