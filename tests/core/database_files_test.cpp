// The database files: reading rules, numbers, the index, records by number, Windows-1252 text, saves byte for byte.
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#ifdef __linux__
#include <sys/resource.h>
#endif
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/check_database.h"
#include "core/cp1252.h"
#include "core/database_lock.h"
#include "core/line_reader.h"
#include "core/number_text.h"
#include "core/record_codec.h"
#include "core/write_record_set.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

// `bytes` read with a script of reads: c a count, l a list count, e an entry line, k an entry kept to 4
// bytes, E whether the data has ended, p the rest as the import log copies it. The results, joined by "|", must be
// `expected`.
struct Reads {
  std::string bytes;
  const char* script;
  std::string expected;
};
const Reads kReadingRules[] = {
    {" 3 \r\nnext\r\n", "ce", "3|next"},
    {"3\r\nnext\r\n", "ce", "3|next"},
    {"  3\t \r\nnext\r\n", "ce", "3|next"},
    {"3\rnext\r\n", "ce", "3|next"},
    {"3,\r\nx\r\n", "cee", "3||x"},                       // a comma ends the count, not the line
    {"1\t2\n3 \r\n", "c", "123"},                         // TAB and LF inside the number are dropped
    {std::string(255, '0') + "7\r\nx\r\n", "ce", "0|x"},  // only 255 bytes of the number count
    {" &H1F \r\n &b101,&17\r\n", "ccc", "31|5|15"},
    {" 2.5 \r\n 3.5 \r\n-2\r\n", "ccc", "2|4|-2"},
    {"a\nb\r\n\r\nlast", "eeeE", "a\nb||last|1"},                  // a lone LF belongs to the entry
    {std::string("ab\x1A") + "cd\r\n 5 \r\n", "eEce", "ab|1|0|"},  // 0x1A ends the entry and the data
    {" 1 \r\n", "cEce", "1|1|0|"},                                 // past the end: 0 and empty
    {std::string("\0a\r\n", 4), "Ee", std::string("0|\0a", 4)},    // a NUL is a byte like any other
    {"abcdefghijkl\r\nnext\r\n", "ke", "abcd|next"},
    {" 999999999 \r\na\r\n", "l", "32003"},  // bounded by the bytes left plus a list's capacity
    {"-4\r\n", "l", "0"},
    {"", "Ece", "1|0|"},
    {"a\r\nb\rc\nd\r\n\r\nx\x1Ay\r\n", "p", "a\r\nb\r\nc\nd\r\n\r\nx\r\n"},
    {"x\r\ny", "p", "x\r\ny\r\n"},
    {"yz\r\n", "p", "yz\r\n"},  // a CR last in a full buffer
};

std::string run_script(ReadableFile* file, std::size_t buffer, const char* script, bool views) {
  LineReader in(file, buffer);
  std::string results, entry;
  for (const char* op = script; *op != '\0'; ++op) {
    if (op != script) results += '|';
    switch (*op) {
      case 'c': results += std::to_string(in.read_count()); break;
      case 'l': results += std::to_string(in.read_list_count()); break;
      case 'E': results += in.at_end() ? "1" : "0"; break;
      case 'k':
        in.read_entry(&entry, 4);
        results += entry;
        break;
      case 'p':  // each entry ended with CR LF, up to a 0x1A; with views, runs of lines that end so taken at once
        while (!in.at_end()) {
          const std::string_view plain = views ? in.read_plain_lines() : std::string_view();
          results += plain.empty() ? line(in.read_entry_view(entry)) : std::string(plain);
        }
        break;
      default:
        if (views) {
          results += in.read_entry_view(entry);
        } else {
          in.read_entry(&entry);
          results += entry;
        }
    }
  }
  return results;
}

TEST(Reading, EveryReadingRuleWithSmallAndLargeBuffers) {
  TempFolder folder;
  for (const Reads& row : kReadingRules) {
    write_bytes(folder / "data", row.bytes);
    std::unique_ptr<ReadableFile> file;
    ASSERT_TRUE(default_env().open_readable(folder / "data", &file).is_ok());
    for (const std::size_t buffer : {std::size_t{3}, std::size_t{7}, std::size_t{64 * 1024}})
      for (const bool views : {false, true})
        EXPECT_EQ(run_script(file.get(), buffer, row.script, views), row.expected) << row.bytes << " buffer " << buffer;
  }
}

TEST(Reading, LeadingNumbersAndTheStoredSignedForm) {
  const struct {
    const char* text;
    std::int32_t any_base, decimal /* as the record box reads it */;
  } rows[] = {{"12", 12, 12},
              {" \t12abc", 12, 12},
              {"abc", 0, 0},
              {"", 0, 0},
              {"2.5", 2, 2},
              {"3.5", 4, 4},
              {"2.6", 3, 3},
              {"-7", -7, -7},
              {"1e3", 1000, 1000},
              {"2e10", 2147483647, 2147483647},
              {"1D2", 100, 100},
              {"1e+3", 1000, 1000},
              {"2.5x5", 2, 2},
              {"1,000", 1, 1},
              {"99999999999", 2147483647, 2147483647},
              {"-99999999999", -2147483647 - 1, -2147483647 - 1},
              {"&H1F", 31, 0},
              {"&h1f", 31, 0},
              {"&B101", 5, 0},
              {"&O17", 15, 0},
              {"&Q17", 15, 0},
              {"&17", 15, 0},
              {"&H", 0, 0},
              {" &HA", 10, 0},
              {"&HFFFFFFFFFF", 2147483647, 0},
              {"1e00000005", 100000, 100000},
              {"5e-00000001", 0, 0},
              {"15e-0000000001", 2, 2}};  // an exponent's leading zeros
  for (const auto& row : rows)
    EXPECT_EQ(std::make_pair(leading_number(row.text), leading_decimal_number(row.text)),
              std::make_pair(row.any_base, row.decimal))
        << row.text;
  EXPECT_EQ(signed_number_text(148534000) + signed_number_text(-1034026632), " 148534000 -1034026632 ");
}

TEST(Reading, TheRecordCountComesFromTheIndexLength) {
  const struct {
    std::size_t bytes;
    std::int64_t fields /* length / 4, halves to even */;
    std::int32_t records;
  } rows[] = {{12, 3, 3}, {5, 1, 1}, {7, 2, 2}, {10, 2, 2}, {14, 4, 4}, {4 * 12000, 12000, kMaxRecords},
              {0, 1, 1}};  // an empty index: the record found by walking the data file
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(stored(kGoal), std::string(row.bytes, '\0'));
    EXPECT_EQ(std::make_pair(folder.db.record_count, folder.db.index_fields), std::make_pair(row.records, row.fields))
        << row.bytes;
  }
  folder.store_files("", std::string("\0\0\0\0\x2A\x01", 6));  // a field cut short: its high bytes read as zero
  EXPECT_EQ(folder.db.index[2], 0x012A);
  EXPECT_FALSE(database_changed(folder.db));  // until another program writes either file
  write_bytes(folder.layout().data_file(), "changed");
  EXPECT_TRUE(database_changed(folder.db));
  // No index beside a data file: its records, found by walking it; a save then appends after them.
  folder.store_files(stored({kGoal, Record{}}), "");
  std::filesystem::remove(folder.layout().index_file());
  EXPECT_EQ(load_index(folder.db, folder.layout().index_file(), folder.layout().data_file()), 2);
  EXPECT_EQ(std::make_tuple(folder.db.index[1], folder.db.index[2], folder.db.index_fields), std::make_tuple(0, 42, 2));
  ASSERT_TRUE(write_record_set(folder.db, 3, WriteMode::save, kGoal).is_ok());
  EXPECT_EQ(folder.data() + folder.index(), stored({kGoal, Record{}, kGoal}) + index_of({kGoal, Record{}, kGoal}));
  folder.store_files("", "");  // a missing pair is an empty database
  std::filesystem::remove(folder.layout().index_file());
  std::filesystem::remove(folder.layout().data_file());
  EXPECT_EQ(std::make_pair(load_index(folder.db, folder.layout().index_file(), folder.layout().data_file()),
                           folder.db.load_error.is_ok()),
            std::make_pair(0, true));
}

// check names the first place where the index and the data file disagree. The
// index holds as many fields as loading it gives: a field cut short has zero
// high-order bytes.
TEST(Reading, TheCheckNamesTheFirstMismatch) {
  const std::string two = stored(kGoal) + stored(Record{});  // records at bytes 0 and 42
  const struct {
    std::string index, mismatch;
  } rows[] = {
      {index_bytes({0, 42}), ""},
      {index_bytes({0}) + std::string(2, '\0'), "record 2 starts at byte 42 of the data file, but the index gives 0"},
      {index_bytes({0}) + std::string(1, '\x2A'),
       "record 2 starts at byte 42 of the data file, but the index ends after 1 records"},
      {index_bytes({0}) + std::string(3, '\x2A'),
       "record 2 starts at byte 42 of the data file, but the index gives 2763306"},
      {index_bytes({0, 41}), "record 2 starts at byte 42 of the data file, but the index gives 41"},
      {index_bytes({0}), "record 2 starts at byte 42 of the data file, but the index ends after 1 records"},
      {index_bytes({0, 42, 50}), "the index lists 3 records, but the data file holds 2"}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(two, row.index);
    const DatabaseCheck check = check_database(folder.db);
    const std::string mismatch = check.findings.empty() ? "" : check.findings.front().text;
    EXPECT_EQ(std::make_tuple(check.findings.size(), mismatch, check.records_walked),
              std::make_tuple(std::size_t{row.mismatch.empty() ? 0u : 1u}, row.mismatch, std::int64_t{2}));
  }
}

// A walk reads each byte once: a record that starts before the end of the records read before it (a start that
// repeats, goes back, or falls inside the record before) is damage, and the walk stops there naming it. A start
// outside the data file reads as an empty record and reads nothing.
TEST(Reading, AWalkReadsEachByteOnceAndStopsAtARecordThatOverlaps) {
  const std::string data = stored({kGoal, kGoal, kGoal});  // records at bytes 0, 42 and 84
  const struct {
    std::string index, visited, damage;
  } rows[] = {
      {index_bytes({0, 42, 84}), "123", ""},
      {index_bytes({0, 50, 84}), "123", ""},  // a gap is no overlap
      {index_bytes({0, 1000, 84}), "123", ""},
      {index_bytes({-1, 0, 42}), "123", ""},
      {index_bytes({0, 0, 84}), "1",
       "record 2 starts at byte 0 of the data file, before the end of record 1 (byte 42)"},
      {index_bytes({0, 84, 42}), "12",
       "record 3 starts at byte 42 of the data file, before the end of record 2 (byte 126)"},
      {index_bytes({0, 41, 84}), "1",
       "record 2 starts at byte 41 of the data file, before the end of record 1 (byte 42)"},
      {index_bytes({0, 1000, 5}), "12",
       "record 3 starts at byte 5 of the data file, before the end of record 1 (byte 42)"},
  };
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(data, row.index);
    std::string visited;
    const Status status = walk_records(folder.db, 1, 3, [&visited](std::int32_t n, LineReader& in) {
      visited += std::to_string(n);
      skip_record(in);
      return true;
    });
    EXPECT_EQ(std::make_pair(visited, status.message().find(row.damage) != std::string::npos),
              std::make_pair(row.visited, true))
        << status.message();
    EXPECT_EQ(status.is_ok(), row.damage.empty());
  }
}

TEST(Reading, RecordsAreReadByNumberInFileOrder) {
  ASSERT_EQ(stored(kGoal).size(), 42u);
  const Record unsorted = make_record({"zeta", "Alpha"}, {}, {"b", "a"});
  const struct {
    std::string data, index;
    std::int32_t n;
    Record expected;
  } rows[] = {{stored(kGoal) + stored(unsorted), index_bytes({0, 42}), 2, unsorted},
              {stored(kGoal) + "1\r\nx\r\n0\r\n0\r\n", index_bytes({0, 42}), 2, make_record({"x"}, {}, {})},
              {stored(kGoal), index_bytes({0}), 1, kGoal},
              {count(3) + line("a"), index_bytes({0}), 1, make_record({"a", "", ""}, {}, {})},  // cut short
              {stored(kGoal), index_bytes({42}), 1, Record{}},  // at the end, past it, before it
              {stored(kGoal), index_bytes({1000000}), 1, Record{}},
              {stored(kGoal), index_bytes({-5}), 1, Record{}}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    for (const std::size_t limit : {std::size_t{0}, std::size_t{3}}) {  // whole reads, and reads cut short
      folder.store_files(row.data, row.index);
      folder.env.read_limit = limit;
      folder.reopen();
      Status error;
      EXPECT_EQ(read_record(folder.db, row.n, &error), row.expected) << row.index.size();
      EXPECT_TRUE(error.is_ok());
      folder.env.read_limit = 0;
    }
  }
  folder.env.count_reads = true;  // numbers outside 1 to N read empty without opening a file
  for (const std::int32_t n : {2, 99, 0, -1, -2147483647 - 1}) EXPECT_TRUE(read_record(folder.db, n).empty()) << n;
  EXPECT_TRUE(folder.env.log.empty());
  std::filesystem::remove(folder.layout().data_file());  // a missing data file reads empty, without an error
  Status error;
  EXPECT_TRUE(read_record(folder.db, 1, &error).empty() && error.is_ok());
}

TEST(Text, EveryByteValueRoundTripsAndTheHighHalfIsWindows1252) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), std::optional<std::string>(all));
  // 0x80 to 0x9F as Windows-1252 defines them; the five undefined values stand for themselves.
  const char32_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                             0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                             0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int b = 0x80; b < 0xA0; ++b) EXPECT_EQ(cp1252_to_unicode(static_cast<unsigned char>(b)), high[b - 0x80]) << b;
  EXPECT_EQ(cp1252_to_utf8("caf\xE9 \x80\xFF"), "caf\u00E9 \u20AC\u00FF");
  EXPECT_EQ(utf8_to_cp1252("\u201Cquoted\u201D"), std::optional<std::string>("\x93quoted\x94"));
  std::string problem;
  for (const char* bad : {"\xC3", "\xC0\x80", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\x80"}) {
    EXPECT_FALSE(utf8_to_cp1252(bad, &problem).has_value()) << bad;
    EXPECT_EQ(problem, "The text is not valid UTF-8.") << bad;
  }
  for (const char* named : {"\u65E5\" (U+65E5)", "\U0001F600\" (U+1F600)", "\U00040000\" (U+40000)"}) {
    utf8_to_cp1252("ok " + std::string(named).substr(0, std::string(named).find('"')), &problem);
    EXPECT_NE(problem.find(named), std::string::npos) << problem;
  }
}

TEST(Text, EntriesRefuseWhatTheStoredFormCannotCarry) {
  const struct {
    std::string entry;
    bool typed_ok, stored_ok;
  } rows[] = {
      {"plain text", true, true}, {std::string(4999, 'x'), true, true},   {std::string(5000, 'x'), false, false},
      {"a\rb", false, false},     {std::string("a\0b", 3), false, false}, {"a\x1A", false, false},
      {"a\nb", false, true}};
  for (const auto& row : rows)
    EXPECT_EQ(std::make_pair(entry_problem(row.entry, false).empty(), entry_problem(row.entry).empty()),
              std::make_pair(row.typed_ok, row.stored_ok))
        << row.entry.size();
  EXPECT_EQ(entry_problem(std::string(5000, 'x')), "An entry can hold at most 4999 characters.");
}

const Record kA = make_record({"a"}, {}, {"line a"});
const Record kB = make_record({"b1", "b2"}, {"x"}, {});
const Record kC = make_record({}, {}, {"c"});

TEST(Saving, ReplacesAppendsAndDeletesKeepingThePreviousDataFile) {
  const Record unsorted = make_record({"Zulu", "alpha", "alpha"}, {}, {"2", "1"});
  const WriteMode save = WriteMode::save, remove = WriteMode::remove;
  const struct {
    std::int32_t n;
    WriteMode mode;
    Record lists;
    std::vector<Record> after;
  } rows[] = {{2, save, kGoal, {kA, kGoal, kC}},
              {4, save, kGoal, {kA, kB, kC, kGoal}},    // the new-record position appends
              {9, save, kGoal, {kA, kB, kC, kGoal}},    // so does any number above it
              {1, save, unsorted, {unsorted, kB, kC}},  // lists are written in their given order
              {0, save, kGoal, {kA, kB, kC}},
              {-3, save, kGoal, {kA, kB, kC}},  // below 1: no record changes
              {2, remove, kB, {kA, kC}},
              {3, remove, kC, {kA, kB}},       // later records move down
              {4, remove, kA, {kA, kB, kC}}};  // outside: nothing deleted
  DatabaseFolder folder;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.n) + (row.mode == save ? " save" : " delete"));
    folder.store({kA, kB, kC});
    const std::string before = folder.data();
    ASSERT_TRUE(write_record_set(folder.db, row.n, row.mode, row.lists).is_ok());
    EXPECT_EQ(std::make_tuple(folder.data(), folder.index(), folder.db.record_count),
              std::make_tuple(stored(row.after), index_of(row.after), std::int32_t(row.after.size())));
    // Nothing to write, nothing written: no commdb.old then.
    const bool unchanged = row.after == std::vector<Record>{kA, kB, kC};
    EXPECT_EQ(std::make_pair(is_file(folder.base("commdb.old")), read_bytes(folder.base("commdb.old"))),
              std::make_pair(!unchanged, unchanged ? std::string() : before));
    for (const char* gone : {"temp.tmp", "temp.idx", "zenfaro.jrn", "zenfaro.jrn.tmp"})
      EXPECT_FALSE(is_file(folder.work(gone))) << gone;
  }
  folder.store({kA});  // the only record deleted: both files empty
  ASSERT_TRUE(write_record_set(folder.db, 1, remove, kA).is_ok());
  EXPECT_EQ(folder.data() + folder.index(), "");
  folder.store_files("", "");  // a first save into no database writes the worked example
  std::filesystem::remove(folder.layout().data_file());
  ASSERT_TRUE(write_record_set(folder.db, 1, save, kGoal).is_ok());
  EXPECT_EQ(folder.data() + read_bytes(folder.base("commdb.old")), stored(kGoal));  // no previous data file: empty
  folder.store({kA, kB});  // empty lists touch no file in either mode
  folder.env.log.clear();
  EXPECT_TRUE(write_record_set(folder.db, 2, save, {}).is_ok() && write_record_set(folder.db, 2, remove, {}).is_ok());
  EXPECT_TRUE(folder.env.log.empty());
}

// Every copied record is rewritten in canonical form, found by walking the data file; the index is rebuilt.
TEST(Saving, EveryCopiedRecordIsRewrittenInCanonicalForm) {
  const struct {
    std::string data, after /* before the saved record kC, appended as the last one */;
  } rows[] = {{"2\r\nx\r\ny\r\n0\r\n  1\t \r\nz\r\n1,\r\n0\r\n0\r\n",
               stored(make_record({"x", "y"}, {}, {"z"})) + stored(make_record({""}, {}, {}))},
              {count(2) + line(std::string(6000, 'x')) + line(std::string("ab\0cd", 5)) + count(0) + count(0),
               stored(make_record({std::string(4999, 'x'), "ab"}, {}, {}))},    // cut as the work buffer cuts
              {stored(kA) + "\r\n", stored(kA) + stored(Record{})},             // stray bytes: an empty record
              {stored(kA) + "\x1A" + stored(kB), stored(kA)},                   // 0x1A ends the data
              {count(2) + line("a"), stored(make_record({"a", ""}, {}, {}))}};  // cut short
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(row.data, "garbage");  // a wrong index
    ASSERT_TRUE(write_record_set(folder.db, 99, WriteMode::save, kC).is_ok());
    EXPECT_EQ(folder.data(), row.after + stored(kC));
    EXPECT_TRUE(check_database(folder.db).findings.empty());
  }
}

TEST(Saving, ARecordBeyondTheCapacityIsRefusedAndNothingChanges) {
  DatabaseFolder folder;
  const Record long_line = make_record({}, {}, {std::string(40, 'c')});  // 10000 of them fill several buffers
  std::vector<Record> after(kMaxRecords, long_line);
  folder.store(after);
  const std::string before = folder.data();
  EXPECT_EQ(write_record_set(folder.db, kMaxRecords + 1, WriteMode::save, kGoal).message(),
            "The database can hold at most 10000 records. Nothing was saved.");
  EXPECT_EQ(folder.data(), before);
  EXPECT_FALSE(is_file(folder.base("commdb.old")) || is_file(folder.work("temp.tmp")));
  EXPECT_TRUE(write_record_set(folder.db, kMaxRecords, WriteMode::save, kGoal).is_ok());
  after.back() = kGoal;
  EXPECT_EQ(std::make_pair(folder.data(), folder.index()), std::make_pair(stored(after), index_of(after)));
  const std::string over = folder.data() + stored(kA);  // a record more than the index lists, which a save keeps
  write_bytes(folder.layout().data_file(), over);
  EXPECT_NE(write_record_set(folder.db, 1, WriteMode::save, kGoal).message().find("10000 records. Nothing was saved"),
            std::string::npos);
  EXPECT_EQ(folder.data(), over);
}

#ifdef __linux__
// The real file system's failures reach the caller with the system's reason (a file grown past what the process may
// write, as a full disk refuses it; a write after close).
TEST(Saving, TheRealFileSystemTellsWhatFailed) {
  TempFolder folder;
  std::unique_ptr<WritableFile> full;
  ASSERT_TRUE(default_env().open_writable(folder / "full", OpenMode::create_new, &full).is_ok());
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit tiny = before;
  tiny.rlim_cur = 1;
  std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &tiny);
  const Status too_large = full->append("xy");
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(too_large.reason(), "File too large");
  EXPECT_TRUE(full->sync().is_ok() && full->close().is_ok() && full->close().is_ok());  // a second close is harmless
  EXPECT_NE(full->append("x").message().find("already closed"), std::string::npos);
  ASSERT_TRUE(write_string_to_file(default_env(), folder / "one", "xyz").is_ok());
  ASSERT_TRUE(default_env().truncate_file(folder / "one", 1).is_ok());
  EXPECT_EQ(read_bytes(folder / "one"), "x");
  std::unique_ptr<ReadableFile> file;  // a missing file is told apart from one that cannot be opened
  EXPECT_TRUE(default_env().open_readable(folder / "none", &file).is_not_found());
  EXPECT_TRUE(default_env().remove_file(folder / "none").is_not_found());
  const Status too_long = default_env().open_readable(folder / std::string(5000, 'n'), &file);
  EXPECT_FALSE(too_long.is_ok() || too_long.is_not_found()) << too_long.message();
  EXPECT_FALSE(default_env().file_info(folder.path()).exists);  // a folder is no file
}
#endif

// A save keeps the permission bits and the link the user set, and leaves a read-only data file as it is.
TEST(Saving, KeepsThePermissionsAndLinksTheUserSetAndRefusesAReadOnlyFile) {
  const struct {
    fs::perms mode;
    bool linked, refused;
  } rows[] = {
#ifndef _WIN32  // Windows has only the read-only attribute, and links need rights there
      {fs::perms(0600), false, false},
      {fs::perms(0640), true, false},
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
    const Status status = write_record_set(folder.db, 2, WriteMode::save, kGoal);
    const fs::perms mode = fs::status(data).permissions();
    EXPECT_EQ(std::make_tuple(status.is_ok(), mode, fs::is_symlink(data), folder.data() == before),
              std::make_tuple(!row.refused, row.mode, row.linked, row.refused))
        << status.message();
    EXPECT_TRUE(row.refused ? status.message().find("is read-only") != std::string::npos
                            : read_bytes(folder.base("commdb.old")) == before)
        << status.message();
    fs::permissions(data, fs::perms::owner_all);
  }
}

// A list beyond a list's capacity (a damaged or foreign file) reads as a damaged record, in bounded time and memory.
TEST(Saving, ListsBeyondTheCapacityReadAsADamagedRecord) {
  std::string descending = count(50000);
  for (int i = 50000; i-- > 0;) descending += line("trigger " + std::to_string(100000 + i));
  const struct {
    std::string data;
    std::int64_t walked /* the CR lines: entries of record 1 */;
  } rows[] = {{descending + count(0) + count(0), 2}, {" 2147483647 \r\n" + std::string(40 << 20, '\r'), 1}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(row.data + stored(kA), index_bytes({0, static_cast<std::int32_t>(row.data.size())}));
    Status error;
    EXPECT_TRUE(read_record(folder.db, 1, &error).empty());
    EXPECT_NE(error.message().find("Record 1 is damaged"), std::string::npos);
    EXPECT_EQ(std::make_pair(read_record(folder.db, 2), check_database(folder.db).records_walked),
              std::make_pair(kA, row.walked));
  }
}

// Writers lock the database exclusively, the program's own readers shared:
// readers go together, a writer goes alone.
TEST(Lock, ReadersShareTheLockAndAWriterHoldsItAlone) {
  const struct {
    LockKind held, wanted;
    bool granted;
  } rows[] = {{LockKind::shared, LockKind::shared, true},
              {LockKind::shared, LockKind::exclusive, false},
              {LockKind::exclusive, LockKind::shared, false},
              {LockKind::exclusive, LockKind::exclusive, false}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    DatabaseLock first, second;
    ASSERT_TRUE(lock_database(default_env(), folder.layout(), &first, {}, row.held).is_ok());
    const Status status = lock_database(default_env(), folder.layout(), &second, {}, row.wanted);
    EXPECT_EQ(std::make_pair(status.code(), second.held()),
              std::make_pair(row.granted ? Status::Code::ok : Status::Code::busy, row.granted));
  }
}

#ifndef _WIN32
// Runs `body` in a child process as a user who may only read the lock file (root's child becomes nobody); returns
// its exit status.
int as_reader(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

// A lock file that the user may only read is locked all the same, shared or exclusively, and still excludes.
TEST(Lock, ALockFileTheUserMayOnlyReadIsLockedAllTheSame) {
  DatabaseFolder folder;
  {
    DatabaseLock made;
    ASSERT_TRUE(lock_database(default_env(), folder.layout(), &made).is_ok());
  }
  fs::permissions(lock_file(folder.layout()), fs::perms(0444));
  const auto lock_as_reader = [&folder](LockKind kind) {
    return as_reader([&folder, kind] {
      DatabaseLock lock;
      const Status status = lock_database(default_env(), folder.layout(), &lock, {}, kind);
      return status.is_ok() && lock.held() ? 0 : status.code() == Status::Code::busy ? 1 : 2;
    });
  };
  EXPECT_EQ(lock_as_reader(LockKind::exclusive), 0);
  EXPECT_EQ(lock_as_reader(LockKind::shared), 0);
  DatabaseLock held;
  ASSERT_TRUE(lock_database(default_env(), folder.layout(), &held, {}, LockKind::shared).is_ok());
  EXPECT_EQ(lock_as_reader(LockKind::exclusive), 1);
  EXPECT_EQ(lock_as_reader(LockKind::shared), 0);
}
#endif

}  // namespace
}  // namespace zenfaro
