// Export and Import Commentary: the exchange file byte for byte, classification, merge, log, capacities, outcomes.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/line_reader.h"
#include "exchange/exchange_format.h"
#include "exchange/export_commentary.h"
#include "exchange/fingerprint.h"
#include "exchange/import_commentary.h"
#include "exchange/import_log.h"
#include "exchange/import_reports.h"
#include "exchange/merge_work_file.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

// Both fingerprints of a whole record, fed entry by entry as the import feeds
// them while it reads.
Fingerprints fingerprints_of(const Record& record) {
  Fingerprints result;
  for (const ListKind kind : kAllLists) {
    for (const Entry& entry : record.list(kind)) result.feed(kind, entry);
  }
  return result;
}

const Record kSave = make_record({"save"}, {"own goal"}, {"Great hands", "Tipped over"});
const Record kCorner = make_record({"corner"}, {}, {"Swung in"});
const std::string kTerminator = "*!**!*";

class Exporting : public ::testing::Test {
 protected:
  Status run(const char* name = "out.CMX", const std::vector<std::int32_t>* selection = nullptr) {
    records = -1;
    return export_commentary(folder.db, folder.work(name), &records, {}, selection);
  }
  DatabaseFolder folder;
  std::int32_t records = 0;
};

TEST_F(Exporting, TheExchangeFileIsTheStoredRecordsInCanonicalForm) {
  const Record odd = make_record({""}, {"a\nb"}, {"", "x\n"});
  const struct {
    std::string data, index, records /* what follows the header */;
    std::int32_t count;
  } rows[] = {
      {stored(kGoal), index_bytes({0}), stored(kGoal), 1},  // the worked example, 126 bytes
      {"", "", "", 0},                                      // the empty database, 84 bytes
      {stored(odd), index_bytes({0}), stored(odd), 1},
      {"3\r\na\r\nb\r\nc\r\n\t0,1 \r\nz\r\n", index_bytes({0}), stored(make_record({"a", "b", "c"}, {}, {"z"})), 1},
      {stored(kGoal), index_bytes({0, 1000, -1}), stored(kGoal) + stored(Record{}) + stored(Record{}), 3},
      {std::string(6000, 'q') + "\r\n", index_bytes({0}), stored(Record{}), 1}};  // an entry line read as a count
  for (const auto& row : rows) {
    folder.store_files(row.data, row.index);
    ASSERT_TRUE(run().is_ok());
    EXPECT_EQ(std::make_pair(read_bytes(folder.work("out.CMX")), records),
              std::make_pair(exchange_header(row.count) + row.records, row.count));
  }
  EXPECT_EQ((exchange_header(1) + stored(kGoal)).size(), 126u);
  EXPECT_EQ(export_message(0, "C:\\x\\out.CMX"), "0 commentary entries were exported to C:\\x\\out.CMX.");
}

TEST_F(Exporting, TheProgramsOwnFilesAreRefusedAndAUsersFilesKept) {
  folder.store({kGoal});
  const std::string data = folder.data();
  for (const char* name : {"commdb.dat", "commdb.idx", "./commdb.dat", "temp.tmp", "commdb.old", "zenfaro.log",
                           "tempfile2.tmp", "HASHES2.TXT", "zenfaro.lck", "zenfaro.jrn"}) {
    EXPECT_EQ(run(name).code(), Status::Code::refused) << name;
    EXPECT_EQ(records, -1);
  }
  EXPECT_NE(run("commdb.dat").message().find("it would be destroyed"), std::string::npos);
  EXPECT_EQ(folder.data(), data);
  fs::create_directories(folder.work("sub"));  // names that only look like the program's are the user's
  for (const char* name : {"tempfile.txt", "myhashes.txt", "sub/commdb.dat"}) EXPECT_TRUE(run(name).is_ok()) << name;
  // A file that happens to have the name the export writes beside its target is not the export's to overwrite.
  write_bytes(folder.work("out.CMX.part"), "the user's");
  ASSERT_TRUE(run().is_ok());
  EXPECT_EQ(read_bytes(folder.work("out.CMX.part")) + read_bytes(folder.work("out.CMX")),
            "the user's" + exchange_of({kGoal}));
}

// Chosen records: in the order chosen, each in canonical form, counted in the header; the import takes the file.
TEST_F(Exporting, ChosenRecordsComeInTheirOrderAsAWellFormedFile) {
  const std::string odd = "3\r\nb\r\na\r\nc\r\n\t0,1 \r\nz\r\n";  // stored unsorted, unspaced
  const Record odd_record = make_record({"b", "a", "c"}, {}, {"z"});
  folder.store_files(stored(kGoal) + odd + stored(kCorner), index_bytes({0, 42, 42 + static_cast<int>(odd.size())}));
  const struct {
    std::vector<std::int32_t> selection;
    std::vector<Record> written;
  } rows[] = {{{3, 1}, {kCorner, kGoal}}, {{2}, {odd_record}}, {{1, 2, 3}, {kGoal, odd_record, kCorner}}, {{}, {}}};
  for (const auto& row : rows) {
    ASSERT_TRUE(run("out.CMX", &row.selection).is_ok());
    EXPECT_EQ(std::make_pair(read_bytes(folder.work("out.CMX")), records),
              std::make_pair(exchange_of(row.written), static_cast<std::int32_t>(row.written.size())));
  }
  const std::vector<std::int32_t> beyond = {1, 4};
  write_bytes(folder.work("out.CMX"), "old export");
  const Status status = run("out.CMX", &beyond);
  EXPECT_EQ(
      std::make_pair(status.code(), status.message()),
      std::make_pair(Status::Code::refused,
                     std::string("Record 4 is not in the database, which holds 3 records. Nothing was exported.")));
  EXPECT_EQ(std::make_tuple(records, read_bytes(folder.work("out.CMX")), is_file(folder.work("out.CMX.part"))),
            std::make_tuple(-1, std::string("old export"), false));
  // Another database imports the two records as new ones.
  const std::vector<std::int32_t> two = {3, 1};
  ASSERT_TRUE(run("out.CMX", &two).is_ok());
  DatabaseFolder other;
  other.prompt.answers = {true};
  const ImportOutcome outcome = import_commentary(other.db, folder.work("out.CMX").u8string(), other.prompt);
  EXPECT_EQ(outcome.result, ImportResult::completed) << outcome.message;
  EXPECT_EQ(other.records(), (std::vector<Record>{kCorner, kGoal}));
}

// Whatever fails, an existing target stays as it was and the failure is told, never the closing message.
TEST_F(Exporting, EachFailingOperationLeavesTheOldFileWholeAndSaysSo) {
  folder.store({kGoal, kGoal});
  folder.env.count_reads = true;
  for (const std::vector<std::int32_t>& chosen : {std::vector<std::int32_t>{}, std::vector<std::int32_t>{2, 1}}) {
    const std::vector<std::int32_t>* selection = chosen.empty() ? nullptr : &chosen;
    write_bytes(folder.work("out.CMX"), "old export");
    folder.env.log.clear();
    ASSERT_TRUE(run("out.CMX", selection).is_ok());
    const std::vector<std::string> operations = folder.env.log;
    EXPECT_NE(std::find(operations.begin(), operations.end(), "create out.CMX.part"), operations.end());
    ASSERT_GE(operations.size(), 7u);  // open, read, create, write, sync, close, chmod, rename
    for (std::size_t i = 0; i < operations.size(); ++i) {
      SCOPED_TRACE("failing: " + operations[i]);
      write_bytes(folder.work("out.CMX"), "old export");
      folder.env.log.clear();
      folder.env.fail_at = static_cast<int>(i);
      const Status status = run("out.CMX", selection);
      folder.env.fail_at = -1;
      // A shared lock that cannot be had leaves the export to read without it (and check).
      if (operations[i].rfind("share ", 0) == 0) {
        EXPECT_TRUE(status.is_ok()) << status.message();
        continue;
      }
      EXPECT_NE(status.message().find("Injected failure"), std::string::npos) << status.message();
      EXPECT_NE(status.message().find("The existing file was left as it was."), std::string::npos);
      EXPECT_EQ(std::make_tuple(records, read_bytes(folder.work("out.CMX")), is_file(folder.work("out.CMX.part"))),
                std::make_tuple(-1, std::string("old export"), false));
    }
  }
}

// Killed anywhere, losing what was not made durable (all of it, all but the removals, or only the unsynced bytes):
// the existing file is the old export or the new one, whole.
TEST_F(Exporting, AKilledExportLeavesTheOldFileOrTheNew) {
  folder.store({kGoal, kGoal});
  write_bytes(folder.work("out.CMX"), "old export");
  folder.env.log.clear();
  ASSERT_TRUE(run().is_ok());
  const std::vector<std::string> operations = folder.env.log;
  for (const FaultyEnv::Crash mode :
       {FaultyEnv::Crash::drop_all, FaultyEnv::Crash::keep_removals, FaultyEnv::Crash::keep_names}) {
    for (std::size_t i = 0; i <= operations.size(); ++i) {
      SCOPED_TRACE("killed before: " + (i < operations.size() ? operations[i] : "the end"));
      write_bytes(folder.work("out.CMX"), "old export");
      folder.env.reset();
      folder.env.crash_mode = mode;
      folder.env.kill_at = i < operations.size() ? static_cast<int>(i) : -1;
      try {
        run().ignore_error();
      } catch (const Killed&) {}
      folder.env.crash();
      const std::string now = read_bytes(folder.work("out.CMX"));
      EXPECT_TRUE(now == "old export" || now == exchange_of({kGoal, kGoal})) << now;
    }
  }
}

std::tm december_6_2026() {
  std::tm day{};
  day.tm_year = 126, day.tm_mon = 11, day.tm_mday = 6;
  return day;
}

TEST(ImportFormat, FingerprintsHeaderAndMergeEscape) {
  const struct {
    Record record;
    std::uint32_t full, trigger;
  } fingerprints[] = {{make_record({"abc"}, {}, {}), 148534000u, 148534000u},
                      {make_record({}, {"a"}, {}), 0xC25E0178u, 0xC25E0178u},
                      {make_record({"ab", "c"}, {}, {}), 148534000u, 148534000u},  // no separators
                      {make_record({""}, {""}, {""}), 12345678u, 12345678u},
                      {make_record({}, {}, {"a"}), 0xC25E0178u, 12345678u}};  // lines: the full one only
  for (const auto& row : fingerprints) {
    const Fingerprints got = fingerprints_of(row.record);
    EXPECT_EQ(std::make_pair(got.full, got.trigger), std::make_pair(row.full, row.trigger)) << stored(row.record);
  }
  EXPECT_EQ(fingerprint_step(0, " "), 0x20u);     // the low five bits are 0: no rotation
  EXPECT_EQ(fingerprint_step(0, "\xE0"), 0xE0u);  // bytes count as unsigned
  EXPECT_EQ(fingerprint_step(0, "\xFF"), (0xFFu >> 31) | (0xFFu << 1));
  EXPECT_EQ(fingerprint_text(static_cast<std::uint32_t>(-1034026632)), "-1034026632 ");
  EXPECT_EQ(log_date(december_6_2026()), "12-06-2026");

  const std::string rest = line("Handler=ZENFARO.EXE") + line("anything") + line("[Exported Commentary]");
  const struct {
    std::string bytes;
    bool passes;
  } headers[] = {{exchange_header(0), true},
                 {line("[Version]") + line("Handler=ZENFARO.EXE") + "[Exported Commentary]", true},
                 {line("[Version]") + rest, true},
                 {line("[version]") + rest, false},
                 {line("[Version] ") + rest, false},
                 {"\xEF\xBB\xBF" + line("[Version]") + rest, false},
                 {line("[Version]") + line("Handler=zenfaro.exe") + line("[Exported Commentary]"), false},
                 {"[Version]\nHandler=ZENFARO.EXE\n\n[Exported Commentary]\n", false},
                 {line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99"), false},
                 {"", false}};
  TempFolder folder;
  for (const auto& row : headers) {
    write_bytes(folder / "x.CMX", row.bytes);
    std::unique_ptr<ReadableFile> file;
    ASSERT_TRUE(default_env().open_readable(folder / "x.CMX", &file).is_ok());
    LineReader in(file.get());
    EXPECT_EQ(read_exchange_header(in), row.passes) << row.bytes;
  }
  // Only the terminator's text (and its NUL forms) is escaped, reversibly.
  for (const std::string& entry :
       {kTerminator, kTerminator + '\0', kTerminator + "!", std::string("*!**!"), std::string(), std::string("x")}) {
    std::string scratch;
    const std::string escaped(escape_merge_entry(entry, scratch));
    EXPECT_NE(escaped, kTerminator);
    EXPECT_EQ(escaped != entry, entry.rfind(kTerminator, 0) == 0 && entry.find('!', 6) == std::string::npos);
    EXPECT_EQ(std::string(unescape_merge_entry(escaped)), entry);
  }
}

class Importing : public ::testing::Test {
 protected:
  // Imports `exchange` into the database as it stands (or into `records`).
  ImportOutcome import(const std::string& exchange, bool confirm = true) {
    write_bytes(folder_.work("in.CMX"), exchange);
    folder_.prompt = ScriptedPrompt();
    folder_.prompt.answers = {confirm};
    return import_commentary(folder_.db, folder_.work("in.CMX").u8string(), folder_.prompt, december_6_2026);
  }
  ImportOutcome import(const std::vector<Record>& records, const std::string& exchange, bool confirm = true) {
    folder_.store(records);
    return import(exchange, confirm);
  }
  std::string file(const char* name) const { return read_bytes(folder_.work(name)); }
  DatabaseFolder folder_;
};

std::string hash_line(const Record& record) { return line(fingerprint_text(fingerprints_of(record).full)); }

TEST_F(Importing, ClassifiesEveryIncomingRecordAgainstTheFirstStoredRecordWithItsTriggers) {
  const Record other_goal = make_record({"goal", "shot"}, {}, {"Another line"});
  const Record reordered = make_record({"save"}, {"own goal"}, {"Tipped over", "Great hands"});
  const std::string identical = " is identical to stored record ";
  const struct {
    std::vector<Record> stored;
    std::string exchange, impres;
    std::vector<std::int32_t> counts;
  } rows[] = {
      {{}, exchange_of({kGoal, kSave}), line("Record 1 is new.") + line("Record 2 is new."), {2, 0, 0, 2}},
      {{kGoal, kSave, kCorner},
       exchange_of({kGoal, kSave, kCorner}),
       line("Record 1" + identical + "1 ") + line("Record 2" + identical + "2 ") + line("Record 3" + identical + "3 "),
       {0, 3, 0, 3}},
      {{kSave, kGoal, other_goal}, exchange_of({other_goal}), line("Record 1 extends stored record 2 "), {0, 0, 1, 3}},
      {{kCorner, kSave},
       exchange_of({reordered, kGoal, kGoal}),  // another order counts
       line("Record 1 extends stored record 2 ") + line("Record 2 is new.") + line("Record 3 is new."),
       {2, 0, 1, 4}},
      {{},
       exchange_header(3) + stored(kGoal),  // missing records read as empty ones
       line("Record 1 is new.") + line("Record 2 is new.") + line("Record 3 is new."),
       {3, 0, 0, 3}},
      {{kGoal}, exchange_header(-2), "", {0, 0, 0, 1}}};
  for (const auto& row : rows) {
    const ImportOutcome outcome = import(row.stored, row.exchange, false);
    EXPECT_EQ(outcome.result, ImportResult::declined);
    std::string hashes;
    for (const Record& record : row.stored) hashes += hash_line(record);
    EXPECT_EQ(std::make_pair(file("hashes.txt"), file("impres.txt")), std::make_pair(hashes, row.impres));
    const ImportSummary& s = outcome.summary;  // new, identical, extending, merged
    EXPECT_EQ(std::vector<std::int32_t>({s.new_records, s.identical, s.extending, s.merged}), row.counts);
  }
  import({}, exchange_of({make_record({"abc"}, {}, {}), kSave}), false);
  EXPECT_EQ(file("hashes2.txt"), line(" 148534000 ") + hash_line(kSave));
  // The confirmation keeps its question, says when the file is cut short, and offers the details.
  import({kGoal, kSave}, exchange_header(5) + stored(make_record({"goal", "shot"}, {}, {"New", "What a strike"})),
         false);
  const Question& question = folder_.prompt.questions.at(0);
  EXPECT_EQ(question.text,
            "Are you sure you want to import 5 records ?\n\nThe file ends after 1 of the 5 records it announces; the "
            "missing ones would come in as empty records.");
  EXPECT_EQ(std::make_tuple(question.caption, question.icon, question.default_yes),
            std::make_tuple(std::string("Confirm Import"), Icon::question, false));
  EXPECT_EQ(question.details,
            "The exchange file announces 5 records: 4 new, 0 identical to stored records, 1 extending stored "
            "records.\nThe database would go from 2 to 6 records.\nThe file ends after 1 of its records: the other 4 "
            "would come in as empty records.\nNew record 3, without triggers.\nNew record 4, without triggers.\nNew "
            "record 5, without triggers.\nNew record 6, without triggers.\nStored record 1 gets 1 new commentary "
            "line.\n");
  import({kGoal}, exchange_of({}), false);
  EXPECT_EQ(folder_.prompt.questions.at(0).text, "Are you sure you want to import 0 records ?");
}

// Stored records first with the lines that extend them, then the new ones; every list without repeated entries.
TEST_F(Importing, MergesStoredAndIncomingRecordsWithoutDuplicateEntries) {
  const Record other = make_record({"z"}, {}, {"new"});
  const std::string t = kTerminator, q9000(9000, 'q');
  const struct {
    std::vector<Record> stored, incoming, after;
  } rows[] = {
      {{make_record({"a"}, {}, {"x"}), make_record({"goal"}, {}, {"B", "C"})},
       {make_record({"goal"}, {}, {"A", "B"})},
       {make_record({"a"}, {}, {"x"}), make_record({"goal"}, {}, {"B", "C", "A"})}},
      {{make_record({"goal"}, {}, {"own"})},
       {other, make_record({"goal"}, {}, {"five", "own"}), other, make_record({"goal"}, {}, {"nine", "five"})},
       {make_record({"goal"}, {}, {"own", "five", "nine"}), other, other}},
      {{make_record({"a", "a", "b"}, {}, {"", "", "x", ""}), make_record({"c"}, {}, {})},
       {},
       {make_record({"a", "b"}, {}, {"", "x"}), make_record({"c"}, {}, {})}},
      {{make_record({"same"}, {"same"}, {"same"}), make_record({"same"}, {}, {"Same", "same"})},
       {},
       {make_record({"same"}, {"same"}, {"same"}), make_record({"same"}, {}, {"Same", "same"})}},
      {{make_record({t}, {}, {"x"})},
       {make_record({t}, {}, {t}), make_record({"t"}, {t, t}, {t + "!"})},
       {make_record({t}, {}, {"x", t}), make_record({"t"}, {t}, {t + "!"})}},
      {{}, {make_record({q9000}, {"a\nb"}, {"x\n"})}, {make_record({q9000}, {"a\nb"}, {"x\n"})}}};  // any length
  for (const auto& row : rows) {
    ASSERT_EQ(import(row.stored, exchange_of(row.incoming)).result, ImportResult::completed);
    EXPECT_EQ(std::make_tuple(folder_.records(), folder_.index(), folder_.db.record_count),
              std::make_tuple(row.after, index_of(row.after), static_cast<std::int32_t>(row.after.size())));
  }
  // The merge work file: list groups with terminators, no counts.
  import({make_record({"t"}, {"x"}, {"l1"})}, exchange_of({make_record({"t"}, {"x"}, {"l2"}), Record {}}));
  const std::string end = line(t);
  EXPECT_EQ(file("tempfile.tmp"), line("t") + end + line("x") + end + line("l1") + line("l2") + end + end + end + end);
  // A stored record cut short comes in with its missing lines empty.
  folder_.store_files(count(2) + line("a"), index_bytes({0}));
  ASSERT_EQ(import(exchange_of({})).result, ImportResult::completed);
  EXPECT_EQ(folder_.data(), stored(make_record({"a", ""}, {}, {})));
}

TEST_F(Importing, ConfirmedItLogsAndReplacesDeclinedItChangesNothing) {
  folder_.store({kGoal});
  write_bytes(folder_.work("zenfaro.log"), line("older block"));
  write_bytes(folder_.work("commdb.old"), "older backup");
  const std::string exchange = exchange_of({kCorner});
  ASSERT_EQ(import(exchange).result, ImportResult::completed);
  EXPECT_EQ(file("zenfaro.log"),
            line("older block") + line("12-06-2026") + line("*** Log start") + line("Logging: COMMDB.DAT") +
                stored(kGoal) + line("Logging: " + folder_.work("in.CMX").u8string()) + exchange + line("*** Log end"));
  for (const char* kept : {"hashes.txt", "hashes2.txt", "impres.txt", "tempfile.tmp"})
    EXPECT_TRUE(is_file(folder_.work(kept))) << kept;
  for (const char* gone : {"tempfile2.tmp", "tempfile2.idx", "zenfaro.jrn", "importold.dat"})
    EXPECT_FALSE(is_file(folder_.work(gone))) << gone;
  EXPECT_EQ(read_bytes(folder_.work("commdb.old")), "older backup");  // the import makes no backup
  // Declined: the database as it was, the new files left to look at.
  EXPECT_EQ(import({kGoal}, exchange, false).result, ImportResult::declined);
  EXPECT_EQ(std::make_tuple(folder_.data(), file("tempfile2.tmp"), is_file(folder_.work("zenfaro.log"))),
            std::make_tuple(stored(kGoal), stored(kGoal) + stored(kCorner), false));
  // The log copies lines re-ended, up to a 0x1A, and nothing of a missing data file.
  folder_.store_files(count(1) + "a\nb\r\n" + count(0) + count(0) + "stray", index_bytes({0}));
  ASSERT_EQ(import(exchange_header(0) + "after\x1Ahidden\r\n").result, ImportResult::completed);
  const std::string copied = line("Logging: COMMDB.DAT") + count(1) + "a\nb\r\n" + count(0) + count(0) + line("stray");
  EXPECT_NE(file("zenfaro.log").find(copied + "Logging: "), std::string::npos);
  EXPECT_NE(file("zenfaro.log").find(exchange_header(0) + line("after") + line("*** Log end")), std::string::npos);
  folder_.store_files("", "");
  std::filesystem::remove(folder_.layout().data_file());
  ASSERT_EQ(import(exchange).result, ImportResult::completed);
  EXPECT_NE(file("zenfaro.log").find(line("Logging: COMMDB.DAT") + "Logging: "), std::string::npos);
}

// The details name every new record by its number and first trigger, shown safely on a terminal or in a box.
TEST_F(Importing, TheDetailsNameTheNewRecordsAndTheRecordsThatGainLines) {
  const std::string long_trigger = std::string(60, 'q') + "cut";
  const std::vector<Record> incoming = {make_record({"Caf\xE9 \x01\x1B[2J\x9D!", "alpha"}, {}, {"a"}),
                                        make_record({}, {"only an exclusion"}, {}), make_record({long_trigger}, {}, {}),
                                        make_record({"goal", "shot"}, {}, {"New line"}),
                                        make_record({std::string(60, 'e')}, {}, {})};
  const ImportOutcome outcome = import({kGoal}, exchange_of(incoming), false);
  const std::string named[] = {
      "New record 2: \"Caf\xC3\xA9 ?"
      "?[2J?!\".",  // the first trigger as the file holds it
      "New record 3, without triggers.", "New record 4: \"" + std::string(60, 'q') + "...\".",
      "New record 5: \"" + std::string(60, 'e') + "\".", "Stored record 1 gets 1 new commentary line."};
  std::string details =
      "The exchange file announces 5 records: 4 new, 0 identical to stored records, 1 extending stored "
      "records.\nThe database would go from 1 to 5 records.\n";
  for (const std::string& record : named) details += record + "\n";
  EXPECT_EQ(import_details(outcome.summary), details);
}

// The stages in order, each with its records counted up to their number; a declined import stops at its question.
TEST_F(Importing, TellsItsStagesInOrderWithTheirRecords) {
  std::vector<std::tuple<ExchangeStage, std::uint64_t, std::uint64_t>> told;
  const ExchangeProgress progress = [&told](ExchangeStage stage, std::uint64_t done, std::uint64_t total) {
    told.emplace_back(stage, done, total);
  };
  std::vector<Record> stored_records, incoming;
  for (int k = 0; k < 130; ++k) stored_records.push_back(make_record({"s" + std::to_string(k)}, {}, {}));
  for (int k = 0; k < 70; ++k) incoming.push_back(make_record({"i" + std::to_string(k)}, {}, {}));
  using S = ExchangeStage;
  for (const bool confirm : {true, false}) {
    folder_.store(stored_records);
    write_bytes(folder_.work("in.CMX"), exchange_of(incoming));
    folder_.prompt.answers = {confirm};
    told.clear();
    const ImportOutcome outcome =
        import_commentary(folder_.db, folder_.work("in.CMX").u8string(), folder_.prompt, december_6_2026, progress);
    EXPECT_EQ(outcome.result, confirm ? ImportResult::completed : ImportResult::declined);
    decltype(told) expected = {{S::reading, 0, 130},      {S::reading, 64, 130},    {S::reading, 128, 130},
                               {S::reading, 0, 70},       {S::reading, 64, 70},     {S::classifying, 0, 0},
                               {S::merging, 0, 130},      {S::merging, 64, 130},    {S::merging, 128, 130},
                               {S::rebuilding, 0, 200},   {S::rebuilding, 64, 200}, {S::rebuilding, 128, 200},
                               {S::rebuilding, 192, 200}, {S::confirming, 0, 0}};
    if (confirm) expected.insert(expected.end(), {{S::writing, 0, 0}, {S::writing, 0, 0}});
    EXPECT_EQ(told, expected);
  }
  // The export counts the records it writes.
  told.clear();
  std::int32_t records = 0;
  ASSERT_TRUE(export_commentary(folder_.db, folder_.work("out.CMX"), &records, progress).is_ok());
  EXPECT_EQ(told, (decltype(told){{S::writing, 0, 130}, {S::writing, 64, 130}, {S::writing, 128, 130}}));
}

TEST_F(Importing, WhatIsNotAnExchangeFileOrBeyondACapacityIsRefusedBeforeAnythingChanges) {
  std::string lists[3] = {exchange_header(2) + stored(kCorner) + count(0) + count(0) + count(5001), exchange_header(7),
                          exchange_header(1) + count(5000)};
  for (int i = 0; i < 5001; ++i) lists[0] += line("l");
  for (int r = 0; r < 7; ++r) {  // seven records of 5000 lines extend one
    lists[1] += count(1) + line("a") + count(0) + count(5000);
    for (int i = 0; i < 5000; ++i) lists[1] += line(std::to_string(r * 5000 + i));
  }
  const ImportResult rejected = ImportResult::rejected, refused = ImportResult::refused;
  const struct {
    std::vector<Record> stored;
    std::string exchange;
    ImportResult result;
    std::string words;
  } rows[] = {{{kGoal}, line("[Version]") + line("Handler=ZENFARO.EXE"), rejected, "Not a commentary file."},
              {{kGoal}, "", rejected, "Not a commentary file."},
              {{kGoal}, exchange_header(32001), refused, "announces 32001 records; an import can take at most 32000"},
              {{}, lists[0], refused, "Record 2 of the exchange file has a list of 5001 entries"},
              {std::vector<Record>(9999, kCorner), exchange_of({kGoal, kSave}), refused, "of 10001 records"},
              {{make_record({"a"}, {}, {})}, lists[1], refused, "more than 32000 different entries"}};
  for (const auto& row : rows) {
    const ImportOutcome outcome = import(row.stored, row.exchange);
    EXPECT_NE(outcome.message.find(row.words), std::string::npos) << outcome.message;
    EXPECT_EQ(std::make_tuple(outcome.result, outcome.icon, folder_.prompt.questions.size(), folder_.data()),
              std::make_tuple(row.result, row.result == rejected ? Icon::none : Icon::error, 0u, stored(row.stored)));
    EXPECT_FALSE(is_file(folder_.work("tempfile2.tmp")) || is_file(folder_.work("zenfaro.log")));
  }
  EXPECT_EQ(import({}, lists[2] + std::string(5000, '\r') + count(0) + count(0)).result, ImportResult::completed);
  folder_.store(std::vector<Record>(kMaxRecords, kCorner));  // exactly the capacity
  EXPECT_EQ(import(exchange_of({kCorner})).result, ImportResult::completed);
  std::filesystem::remove(folder_.work("in.CMX"));
  EXPECT_EQ(import_commentary(folder_.db, folder_.work("in.CMX").u8string(), folder_.prompt).message,
            "Not a commentary file.");
  // An index listing more records than it can hold would lose the rest.
  folder_.store_files("", std::string(4 * 10001, '\0'));
  EXPECT_NE(import(exchange_of({})).message.find("10001"), std::string::npos);
  // The program's own files are not imported; a user's file of such a name is left as it is.
  for (const char* name : {"tempfile.tmp", "zenfaro.log", "commdb.dat", "tempfile2.tmp"}) {
    folder_.store({kGoal});
    write_bytes(folder_.work(name), exchange_of({kSave}));
    const ImportOutcome outcome = import_commentary(folder_.db, folder_.work(name).u8string(), folder_.prompt);
    EXPECT_NE(outcome.message.find(name), std::string::npos);
    EXPECT_EQ(std::make_pair(outcome.result, read_bytes(folder_.work(name))),
              std::make_pair(ImportResult::refused, exchange_of({kSave})));
  }
}

}  // namespace
}  // namespace zenfaro
