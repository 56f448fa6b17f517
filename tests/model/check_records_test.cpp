// The check of a database before it is shared: what it finds in the records' contents, where it says it is,
// in which order, and that it reads the data file in one walk beside the index check.
#include <gtest/gtest.h>

#include "editor/check_records.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

// A finding as one comparable line: KIND N LIST POS TEXT, with "-" where there is none.
std::string text_of(const Finding& finding) {
  static const char* const kLists[] = {"triggers", "exclusions", "lines"};
  return std::string(finding_kind_name(finding.kind)) + " " + std::to_string(finding.record) + " " +
         (finding.list ? kLists[static_cast<int>(*finding.list)] : "-") + " " +
         (finding.position ? std::to_string(*finding.position) : "-") + " " + finding.text;
}

std::vector<std::string> findings(const Database& db, const FindingKinds& kinds = {}) {
  std::vector<std::string> lines;
  Status error;
  check_records(
      db, kinds, [&lines](const Finding& finding) { lines.push_back(text_of(finding)); }, &error);
  EXPECT_TRUE(error.is_ok()) << error.message();
  return lines;
}

TEST(Check, FindsEachKindWhereTheWindowShowsIt) {
  const struct {
    std::vector<Record> records;
    std::vector<std::string> expected;
  } rows[] = {
      {{make_record({"goal"}, {}, {"What a strike"})}, {}},
      {{make_record({}, {}, {})}, {"empty-record 1 - - all three lists are empty"}},
      // Positions are those on screen: the trigger lists sorted, letter case ignored.
      {{make_record({"zeta", "Alpha", "zeta", "alpha"}, {}, {"b", "a", "b"})},
       {"duplicate-entry 1 triggers 3 repeats the entry at position 2: \"zeta\"",
        "duplicate-entry 1 lines 2 repeats the entry at position 0: \"b\""}},
      {{make_record({" goal", "shot "}, {"\tx\t"}, {"  ", "ok", "a\tb", "tail\t"})},
       {"blanks 1 triggers 0 the entry \" goal\" has blanks at its start",
        "blanks 1 triggers 1 the entry \"shot \" has blanks at its end",
        "blanks 1 exclusions 0 the entry \"\\tx\\t\" has blanks at both ends",
        "blanks 1 lines 0 the entry \"  \" is nothing but blanks",
        "blanks 1 lines 3 the entry \"tail\\t\" has blanks at its end"}},
      // An empty entry has no blanks; equal empty entries are duplicates.
      {{make_record({"t"}, {}, {"", ""})}, {"duplicate-entry 1 lines 1 repeats the entry at position 0: \"\""}},
      // The import takes records with equal trigger fingerprints for one: the later ones are reported.
      {{make_record({"goal"}, {"own"}, {"a"}), make_record({"x"}, {}, {"b"}), make_record({"goal"}, {"own"}, {"c"}),
        make_record({"goal"}, {"own"}, {})},
       {"same-identity 3 - - it has the same triggers and exclusion triggers as record 1, so an import only ever "
        "extends record 1",
        "same-identity 4 - - it has the same triggers and exclusion triggers as record 1, so an import only ever "
        "extends record 1"}},
      {{make_record({"ab", "c"}, {}, {"1"}), make_record({"a", "bc"}, {}, {"2"}), make_record({}, {"abc"}, {"3"})},
       {"same-identity 2 - - its triggers and exclusion triggers differ from those of record 1 but give the same "
        "fingerprint, so an import takes both for record 1 and only ever extends that one",
        "same-identity 3 - - its triggers and exclusion triggers differ from those of record 1 but give the same "
        "fingerprint, so an import takes both for record 1 and only ever extends that one"}},
      // Records without triggers all share one identity; an empty record is one of them.
      {{make_record({}, {}, {"a"}), make_record({}, {}, {})},
       {"same-identity 2 - - it has the same triggers and exclusion triggers as record 1, so an import only ever "
        "extends record 1",
        "empty-record 2 - - all three lists are empty"}},
      // Whole-record findings first, then by list and position; a line feed is shown as \n.
      {{make_record({"t"}, {}, {"x ", "a\nb", "x "})},
       {"blanks 1 lines 0 the entry \"x \" has blanks at its end",
        "duplicate-entry 1 lines 2 repeats the entry at position 0: \"x \"",
        "blanks 1 lines 2 the entry \"x \" has blanks at its end"}},
  };
  for (const auto& row : rows) {
    DatabaseFolder folder;
    folder.store(row.records);
    EXPECT_EQ(findings(folder.db), row.expected) << row.expected.size();
  }
}

TEST(Check, ReportsDamageAndReadsNothingTwice) {
  std::string huge = count(kMaxListEntries + 1);
  for (std::int64_t i = 0; i <= kMaxListEntries; ++i) huge += line(" x");  // blanks, but the record shows empty
  huge += count(0) + count(0);
  const std::string first = stored(make_record({"a"}, {}, {std::string(5000, 'y'), std::string("n\0ul", 4)}));
  const std::string cut = count(1) + line("b") + count(0) + count(3) + line("one");  // two lines missing
  DatabaseFolder folder;
  folder.store_files(first + huge + cut, index_bytes({0, static_cast<std::int32_t>(first.size()),
                                                      static_cast<std::int32_t>(first.size() + huge.size())}));
  EXPECT_EQ(findings(folder.db),
            (std::vector<std::string>{
                "damaged 1 lines 0 the entry holds 5000 bytes, more than an entry can (4999): the next save keeps "
                "only the first 4999",
                "damaged 1 lines 1 the entry holds a NUL byte: the next save keeps only what stands before it",
                "damaged 2 triggers - its list of triggers announces 32001 entries, more than a list can hold "
                "(32000), so the record is shown empty and cannot be changed",
                "damaged 3 lines - the data file ends inside it: its list of commentary lines announces 3 entries "
                "and holds 1, the rest read as empty"}));
  // A list of as many entries as a list can hold is whole.
  std::string full = count(kMaxListEntries);
  for (std::int64_t i = 0; i < kMaxListEntries; ++i) full += line("x" + std::to_string(i));
  DatabaseFolder whole;
  whole.store_files(full + count(0) + count(0), index_bytes({0}));
  EXPECT_EQ(findings(whole.db), std::vector<std::string>{});
  // A stray line end after the last record is one more record, cut short and empty.
  DatabaseFolder stray;
  stray.store_files(stored(kGoal) + "\r\n", index_bytes({0, 42}));
  EXPECT_EQ(findings(stray.db),
            (std::vector<std::string>{"empty-record 2 - - all three lists are empty",
                                      "damaged 2 exclusions - the data file ends before the count of its exclusion "
                                      "triggers"}));
  // The kinds asked for, and no others; the index alone needs no record read.
  EXPECT_EQ(findings(stray.db, {FindingKind::empty_record, FindingKind::index}),
            (std::vector<std::string>{"empty-record 2 - - all three lists are empty"}));
  const auto reads = [&folder](const FindingKinds& kinds) {
    folder.env.reset();
    folder.env.count_reads = true;
    findings(folder.db, kinds);
    return folder.env.log;
  };
  EXPECT_EQ(reads({FindingKind::index}), reads({}));  // the records' checks ride on the index check's one walk
}

TEST(Check, TheIndexFindingTakesItsPlaceAmongTheRecords) {
  const std::vector<Record> records = {make_record({}, {}, {}), make_record({"t"}, {}, {"a", "a"}),
                                       make_record({"u"}, {}, {"z "})};
  const struct {
    std::string index;
    std::vector<std::string> expected;
  } rows[] = {
      {index_of(records),
       {"empty-record 1 - - all three lists are empty",
        "duplicate-entry 2 lines 1 repeats the entry at position 0: \"a\"",
        "blanks 3 lines 0 the entry \"z \" has blanks at its end"}},
      {index_of(records).substr(0, 8),
       {"empty-record 1 - - all three lists are empty",
        "duplicate-entry 2 lines 1 repeats the entry at position 0: \"a\"",
        "index 3 - - record 3 starts at byte 39 of the data file, but the index ends after 2 records",
        "blanks 3 lines 0 the entry \"z \" has blanks at its end"}},
      {index_of(records) + index_bytes({99}),
       {"empty-record 1 - - all three lists are empty",
        "duplicate-entry 2 lines 1 repeats the entry at position 0: \"a\"",
        "blanks 3 lines 0 the entry \"z \" has blanks at its end",
        "index 4 - - the index lists 4 records, but the data file holds 3"}},
  };
  for (const auto& row : rows) {
    DatabaseFolder folder;
    folder.store_files(stored(records), row.index);
    EXPECT_EQ(findings(folder.db), row.expected) << row.index.size();
    const DatabaseCheck check = check_records(folder.db, {}, [](const Finding&) {});
    EXPECT_EQ(check.findings.size(), row.index == index_of(records) ? 0u : 1u);
  }
}

}  // namespace
}  // namespace zenfaro
