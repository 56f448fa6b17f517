// The reading rules of every record file: count lines in their many
// accepted forms, entry lines, 0x1A and reading past the end.
#include <gtest/gtest.h>

#include "core/line_reader.h"
#include "core/number_text.h"
#include "core/record.h"
#include "tests/support/temp_folder.h"

namespace zenfaro {
namespace {

using testing::TempFolder;

// Reads `bytes` from a real file.
class Reading : public ::testing::Test {
 protected:
  LineReader& open(std::string_view bytes) {
    testing::write_bytes(folder_ / "data", bytes);
    EXPECT_TRUE(default_env().open_readable(folder_ / "data", &file_).is_ok());
    reader_ = std::make_unique<LineReader>(file_.get(), 7);  // a small buffer crosses its edges
    return *reader_;
  }
  TempFolder folder_;
  std::unique_ptr<ReadableFile> file_;
  std::unique_ptr<LineReader> reader_;
};

TEST_F(Reading, CountLineFormsAllReadAsThreeAndStopAtTheNextLine) {
  for (const std::string& form : {std::string("\x20\x33\x20\r\n"), std::string("\x33\r\n"),
                                 std::string("\x20\x20\x33\x09\x20\r\n"), std::string("3\r")}) {
    LineReader& reader = open(form + "next\r\n");
    EXPECT_EQ(reader.read_count(), 3) << form;
    std::string entry;
    reader.read_entry(&entry);
    EXPECT_EQ(entry, "next") << form;
  }
}

TEST_F(Reading, CommaEndsTheCountAndLeavesTheLineEnd) {
  LineReader& reader = open("3,\r\nx\r\n");
  EXPECT_EQ(reader.read_count(), 3);
  std::string entry = "unset";
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "");
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "x");
}

TEST_F(Reading, TabsAndLineFeedsInsideTheNumberAreDropped) {
  EXPECT_EQ(open("1\t2\n3 \r\n").read_count(), 123);
}

TEST_F(Reading, OnlyThe255FirstBytesOfTheNumberCount) {
  LineReader& reader = open(std::string(255, '0') + "7\r\nx\r\n");
  EXPECT_EQ(reader.read_count(), 0);  // the 7 is the 256th byte
  std::string entry;
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "x");
}

TEST_F(Reading, EntryLinesKeepLoneLineFeedsAndEndAtCarriageReturn) {
  LineReader& reader = open("a\nb\r\n\r\nlast");
  std::string entry;
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "a\nb");
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "");
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "last");
  EXPECT_TRUE(reader.at_end());
}

TEST_F(Reading, EndOfDataByteCutsTheEntryAndEndsEverything) {
  LineReader& reader = open("ab\x1A" "cd\r\n 5 \r\n");
  std::string entry;
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "ab");
  EXPECT_TRUE(reader.at_end());
  EXPECT_EQ(reader.read_count(), 0);
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "");
}

TEST_F(Reading, PastTheEndCountsAreZeroAndEntriesEmpty) {
  LineReader& reader = open(" 1 \r\n");
  EXPECT_EQ(reader.read_count(), 1);
  EXPECT_TRUE(reader.at_end());
  EXPECT_EQ(reader.read_count(), 0);
  std::string entry = "unset";
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "");
}

TEST_F(Reading, AbsurdListCountsAreBoundedByTheRestOfTheFile) {
  LineReader& reader = open(" 999999999 \r\na\r\n");
  EXPECT_EQ(reader.read_list_count(), 3 + kMaxListEntries);
  LineReader& negative = open("-4\r\n");
  EXPECT_EQ(negative.read_list_count(), 0);
}

TEST_F(Reading, EntryCanBeKeptShortWhileTheWholeLineIsConsumed) {
  LineReader& reader = open("abcdefghijkl\r\nnext\r\n");
  std::string entry;
  reader.read_entry(&entry, 4);
  EXPECT_EQ(entry, "abcd");
  reader.read_entry(&entry);
  EXPECT_EQ(entry, "next");
}

TEST(LeadingNumber, DecimalTextRoundsHalvesToEven) {
  EXPECT_EQ(leading_number("12"), 12);
  EXPECT_EQ(leading_number("12abc"), 12);
  EXPECT_EQ(leading_number("abc"), 0);
  EXPECT_EQ(leading_number(""), 0);
  EXPECT_EQ(leading_number("2.5"), 2);
  EXPECT_EQ(leading_number("3.5"), 4);
  EXPECT_EQ(leading_number("2.6"), 3);
  EXPECT_EQ(leading_number("-7"), -7);
  EXPECT_EQ(leading_number("1e3"), 1000);
  EXPECT_EQ(leading_number("1D2"), 100);
  EXPECT_EQ(leading_number("1,000"), 1);
  EXPECT_EQ(leading_number("99999999999"), 2147483647);
  EXPECT_EQ(leading_number("-99999999999"), -2147483647 - 1);
}

TEST(LeadingNumber, AmpersandPrefixesChooseTheBaseExceptInTheRecordBox) {
  const struct {
    const char* text;
    std::int32_t value;
  } rows[] = {{"&H1F", 31}, {"&h1f", 31}, {"&B101", 5}, {"&O17", 15}, {"&Q17", 15},
              {"&17", 15},  {"&H", 0},    {" &HA", 10}, {"&HFFFFFFFFFF", 2147483647}};
  for (const auto& row : rows) {
    EXPECT_EQ(leading_number(row.text), row.value) << row.text;
    EXPECT_EQ(leading_decimal_number(row.text), 0) << row.text;
  }
  for (const char* text : {"12", " \t12abc", "2.5", "3.5", "-7", "1e3", "99999999999"}) {
    EXPECT_EQ(leading_decimal_number(text), leading_number(text)) << text;
  }
}

TEST(NumberText, SignedFormHasASignPlaceAndATrailingSpace) {
  EXPECT_EQ(signed_number_text(148534000), " 148534000 ");
  EXPECT_EQ(signed_number_text(-1034026632), "-1034026632 ");
  EXPECT_EQ(count_line(0), std::string("\x20\x30\x20\r\n"));
  EXPECT_EQ(count_line(12), std::string("\x20\x31\x32\x20\r\n"));
}

}  // namespace
}  // namespace zenfaro
