// Reading what the files hold: the reading rules of every record file, the
// numbers in them, the record index and records read by number, and
// Windows-1252 text at the program's edges.
#include <gtest/gtest.h>

#include <cstring>

#include "core/cp1252.h"
#include "core/line_reader.h"
#include "core/number_text.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;

// `bytes` read with a script of reads: c a count, l a list count, e an
// entry line, k an entry kept to 4 bytes, E whether the data has ended. The
// results, joined by "|", must be `expected`.
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
    {"3,\r\nx\r\n", "cee", "3||x"},             // a comma ends the count and leaves the line end
    {"1\t2\n3 \r\n", "c", "123"},               // TAB and LF inside the number are dropped
    {std::string(255, '0') + "7\r\nx\r\n", "ce", "0|x"},  // only 255 bytes of the number count
    {" &H1F \r\n &b101,&17\r\n", "ccc", "31|5|15"},
    {" 2.5 \r\n 3.5 \r\n-2\r\n", "ccc", "2|4|-2"},
    {"a\nb\r\n\r\nlast", "eeeE", "a\nb||last|1"},  // a lone LF belongs to the entry
    {"ab\x1A" "cd\r\n 5 \r\n", "eEce", "ab|1|0|"},  // 0x1A ends the entry and the data
    {" 1 \r\n", "cEce", "1|1|0|"},                  // past the end: 0 and empty
    {"abcdefghijkl\r\nnext\r\n", "ke", "abcd|next"},
    {" 999999999 \r\na\r\n", "l", "32003"},  // bounded by the bytes left plus a list's capacity
    {"-4\r\n", "l", "0"},
    {"", "Ece", "1|0|"},
};

std::string run_script(LineReader& in, const char* script, bool views) {
  std::string results;
  std::string entry;
  for (const char* op = script; *op != '\0'; ++op) {
    if (op != script) results += '|';
    switch (*op) {
      case 'c': results += std::to_string(in.read_count()); break;
      case 'l': results += std::to_string(in.read_list_count()); break;
      case 'E': results += in.at_end() ? "1" : "0"; break;
      case 'k': in.read_entry(&entry, 4); results += entry; break;
      default:
        if (views) {
          results += std::string(in.read_entry_view(entry));
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
    for (const std::size_t buffer : {std::size_t{3}, std::size_t{7}, std::size_t{64 * 1024}}) {
      for (const bool views : {false, true}) {
        LineReader in(file.get(), buffer);
        EXPECT_EQ(run_script(in, row.script, views), row.expected) << row.bytes << " buffer " << buffer;
      }
    }
  }
}

TEST(Numbers, LeadingNumbersAndTheStoredSignedForm) {
  const struct {
    const char* text;
    std::int32_t any_base;
    std::int32_t decimal;  // as the record box reads it
  } rows[] = {{"12", 12, 12},          {" \t12abc", 12, 12},   {"abc", 0, 0},
              {"", 0, 0},              {"2.5", 2, 2},          {"3.5", 4, 4},
              {"2.6", 3, 3},           {"-7", -7, -7},         {"1e3", 1000, 1000},
              {"1D2", 100, 100},       {"1,000", 1, 1},        {"99999999999", 2147483647, 2147483647},
              {"-99999999999", -2147483647 - 1, -2147483647 - 1},
              {"&H1F", 31, 0},         {"&h1f", 31, 0},        {"&B101", 5, 0},
              {"&O17", 15, 0},         {"&Q17", 15, 0},        {"&17", 15, 0},
              {"&H", 0, 0},            {" &HA", 10, 0},        {"&HFFFFFFFFFF", 2147483647, 0}};
  for (const auto& row : rows) {
    EXPECT_EQ(leading_number(row.text), row.any_base) << row.text;
    EXPECT_EQ(leading_decimal_number(row.text), row.decimal) << row.text;
  }
  EXPECT_EQ(signed_number_text(148534000), " 148534000 ");
  EXPECT_EQ(signed_number_text(-1034026632), "-1034026632 ");
  EXPECT_EQ(count_line(12), std::string("\x20\x31\x32\x20\r\n"));
}

const Record kGoal = make_record({"goal", "shot"}, {}, {"What a strike"});

TEST(RecordIndex, TheRecordCountComesFromTheIndexLength) {
  const struct {
    std::size_t bytes;
    std::int64_t fields;  // the length / 4 to the nearest, halves to even
    std::int32_t records;
  } rows[] = {{12, 3, 3}, {0, 0, 0}, {5, 1, 1}, {10, 2, 2}, {14, 4, 4}, {4 * 12000, 12000, kMaxRecords}};
  DatabaseFolder folder;
  for (const auto& row : rows) {
    folder.store_files(stored(kGoal), std::string(row.bytes, '\0'));
    EXPECT_EQ(folder.db.record_count, row.records) << row.bytes;
    EXPECT_EQ(folder.db.index_fields, row.fields) << row.bytes;
  }
  // A field cut short reads its missing high bytes as zero.
  folder.store_files("", std::string("\0\0\0\0\x2A\x01", 6));
  EXPECT_EQ(folder.db.index[2], 0x012A);
  // No index: no records, even with a data file.
  std::filesystem::remove(folder.layout().index_file());
  folder.reopen();
  EXPECT_EQ(folder.db.record_count, 0);
}

TEST(RecordIndex, RecordsAreReadByNumberInFileOrder) {
  ASSERT_EQ(stored(kGoal).size(), 42u);  // the worked example
  const Record unsorted = make_record({"zeta", "Alpha"}, {}, {"b", "a"});
  const struct { std::string data; std::string index; std::int32_t n; Record expected; } rows[] = {
      {stored(kGoal) + stored(unsorted), index_bytes({0, 42}), 2, unsorted},
      {stored(kGoal) + "1\r\nx\r\n0\r\n0\r\n", index_bytes({0, 42}), 2, make_record({"x"}, {}, {})},
      {stored(kGoal), index_bytes({0}), 1, kGoal},
      {count(3) + line("a"), index_bytes({0}), 1, make_record({"a", "", ""}, {}, {})},  // cut short
      {stored(kGoal), index_bytes({42}), 1, Record{}},       // at the end
      {stored(kGoal), index_bytes({1000000}), 1, Record{}},  // past it
      {stored(kGoal), index_bytes({-5}), 1, Record{}},       // before it
  };
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
  // Numbers outside 1 to N read empty without opening a file.
  folder.env.count_reads = true;
  for (const std::int32_t n : {2, 99, 0, -1, -2147483647 - 1}) EXPECT_TRUE(read_record(folder.db, n).empty()) << n;
  EXPECT_TRUE(folder.env.log.empty());
  // A missing data file reads empty, without an error.
  std::filesystem::remove(folder.layout().data_file());
  Status error;
  EXPECT_TRUE(read_record(folder.db, 1, &error).empty());
  EXPECT_TRUE(error.is_ok());
}

TEST(Text, EveryByteValueRoundTripsAndTheHighHalfIsWindows1252) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), std::optional<std::string>(all));
  // 0x80 to 0x9F as Windows-1252 defines them; the five undefined values
  // stand for themselves.
  const char32_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                             0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                             0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  for (int b = 0x80; b < 0xA0; ++b) EXPECT_EQ(cp1252_to_unicode(static_cast<unsigned char>(b)), high[b - 0x80]) << b;
  EXPECT_EQ(cp1252_to_utf8("caf\xE9 \x80\xFF"), "caf\u00E9 \u20AC\u00FF");
  EXPECT_EQ(utf8_to_cp1252("\u201Cquoted\u201D"), std::optional<std::string>("\x93quoted\x94"));
  std::string problem;
  for (const char* bad : {"ok \u65E5", "\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
    EXPECT_FALSE(utf8_to_cp1252(bad, &problem).has_value()) << bad;
  }
  for (const char* named : {"\u65E5\" (U+65E5)", "\U0001F600\" (U+1F600)"}) {
    utf8_to_cp1252("ok " + std::string(named, std::strchr(named, '"')), &problem);
    EXPECT_NE(problem.find(named), std::string::npos) << problem;
  }
}

TEST(Text, EntriesRefuseWhatTheStoredFormCannotCarry) {
  const struct {
    std::string entry;
    bool typed_ok;
    bool stored_ok;
  } rows[] = {{"plain text", true, true},        {std::string(4999, 'x'), true, true},
              {std::string(5000, 'x'), false, false}, {"a\rb", false, false},
              {std::string("a\0b", 3), false, false}, {"a\x1A", false, false},
              {"a\nb", false, true}};
  for (const auto& row : rows) {
    EXPECT_EQ(entry_problem(row.entry, false).empty(), row.typed_ok) << row.entry.size();
    EXPECT_EQ(entry_problem(row.entry).empty(), row.stored_ok) << row.entry.size();
  }
  EXPECT_EQ(entry_problem(std::string(5000, 'x')), "An entry can hold at most 4999 characters.");
}

}  // namespace
}  // namespace zenfaro
