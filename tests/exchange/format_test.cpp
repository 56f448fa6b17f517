// The small pieces of the exchange format: fingerprints, the header check,
// the escape of the merge work file and the log's date and path.
#include <gtest/gtest.h>

#include "core/line_reader.h"
#include "exchange/exchange_format.h"
#include "exchange/fingerprint.h"
#include "exchange/import_log.h"
#include "exchange/merge_work_file.h"
#include "tests/exchange/exchange_fixture.h"

namespace zenfaro {
namespace {

using namespace testing;

TEST(Fingerprints, WorkedValues) {
  EXPECT_EQ(fingerprints_of(make_record({"abc"}, {}, {})).full, 148534000u);
  EXPECT_EQ(fingerprints_of(make_record({"abc"}, {}, {})).trigger, 148534000u);
  EXPECT_EQ(fingerprints_of(make_record({"a"}, {}, {})).full, 0xC25E0178u);
  EXPECT_EQ(fingerprints_of(make_record({"a"}, {}, {})).trigger, 0xC25E0178u);
  EXPECT_EQ(fingerprints_of(make_record({}, {}, {})).full, 12345678u);
  EXPECT_EQ(fingerprints_of(make_record({""}, {""}, {""})).trigger, 12345678u);
}

TEST(Fingerprints, RotationByZeroLeavesTheValue) {
  // 0x20 XOR 0 = 0x20, whose low five bits are 0: no rotation.
  EXPECT_EQ(fingerprint_step(0, " "), 0x20u);
  // Every byte value counts as unsigned.
  EXPECT_EQ(fingerprint_step(0, "\xE0"), 0xE0u);
  EXPECT_EQ(fingerprint_step(0, "\xFF"), (0xFFu >> 31) | (0xFFu << 1));
}

TEST(Fingerprints, NoSeparatorsAreFedIn) {
  const Fingerprints ab_c = fingerprints_of(make_record({"ab", "c"}, {}, {}));
  const Fingerprints a_bc = fingerprints_of(make_record({"a", "bc"}, {}, {}));
  EXPECT_EQ(ab_c.full, a_bc.full);
  EXPECT_EQ(ab_c.trigger, a_bc.trigger);
  EXPECT_EQ(fingerprints_of(make_record({"x"}, {}, {})).trigger, fingerprints_of(make_record({}, {"x"}, {})).trigger);
}

TEST(Fingerprints, CommentaryLinesEnterOnlyTheFullFingerprint) {
  const Fingerprints plain = fingerprints_of(make_record({"goal"}, {}, {}));
  const Fingerprints ab = fingerprints_of(make_record({"goal"}, {}, {"a", "b"}));
  const Fingerprints ba = fingerprints_of(make_record({"goal"}, {}, {"b", "a"}));
  EXPECT_EQ(ab.trigger, plain.trigger);
  EXPECT_NE(ab.full, plain.full);
  EXPECT_NE(ab.full, ba.full);
}

bool header_passes(const std::string& bytes) {
  TempFolder folder;
  write_bytes(folder / "x.CMX", bytes);
  std::unique_ptr<ReadableFile> file;
  EXPECT_TRUE(default_env().open_readable(folder / "x.CMX", &file).is_ok());
  LineReader in(file.get());
  return read_exchange_header(in);
}

TEST(ExchangeHeader, TheExportedHeaderPasses) {
  EXPECT_TRUE(header_passes(exchange_header(0)));
  // The section header may be the last line, even without its line end.
  EXPECT_TRUE(header_passes(line("[Version]") + line("Handler=ZENFARO.EXE") + "[Exported Commentary]"));
  // The lines between are not examined.
  EXPECT_TRUE(header_passes(line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=3") +
                            line("anything") + line("[Exported Commentary]")));
}

TEST(ExchangeHeader, LinesOneAndTwoAreComparedByteForByte) {
  const std::string rest = line("Handler=ZENFARO.EXE") + line("") + line("[Exported Commentary]");
  EXPECT_FALSE(header_passes(line("[version]") + rest));
  EXPECT_FALSE(header_passes(line("[Version] ") + rest));
  EXPECT_FALSE(header_passes("\xEF\xBB\xBF" + line("[Version]") + rest));
  EXPECT_FALSE(header_passes(line("[Version]") + line("Handler=zenfaro.exe") + line("[Exported Commentary]")));
  EXPECT_FALSE(header_passes("[Version]\nHandler=ZENFARO.EXE\n\n[Exported Commentary]\n"));
  EXPECT_FALSE(header_passes(""));
}

TEST(ExchangeHeader, AFileWithoutTheDataSectionIsReadToItsEndAndFails) {
  EXPECT_FALSE(header_passes(line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99")));
  EXPECT_FALSE(header_passes(line("[Version]") + line("Handler=ZENFARO.EXE") + line("[Exported Commentary] ")));
  EXPECT_FALSE(header_passes(line("[Version]") + line("Handler=ZENFARO.EXE") + "\x1A" + line("[Exported Commentary]")));
}

std::string escaped(std::string_view entry) {
  std::string scratch;
  return std::string(escape_merge_entry(entry, scratch));
}

std::string unescaped(std::string line) { return std::string(unescape_merge_entry(line)); }

TEST(MergeWorkFile, OnlyTheTerminatorTextAndItsNulFormsAreEscaped) {
  const std::string terminator(kListTerminator);
  EXPECT_NE(escaped(terminator), terminator);
  EXPECT_EQ(escaped(terminator), terminator + '\0');
  for (const std::string& plain : {std::string("*!**!* "), std::string("*!**!"), std::string(""), std::string("goal"),
                                  std::string("*!**!*!"), std::string("x*!**!*")}) {
    EXPECT_EQ(escaped(plain), plain);
    EXPECT_EQ(unescaped(plain), plain);
  }
}

TEST(MergeWorkFile, TheEscapeIsReversible) {
  const std::string terminator(kListTerminator);
  for (const std::string& entry : {terminator, terminator + '\0', terminator + std::string(3, '\0')}) {
    EXPECT_EQ(unescaped(escaped(entry)), entry);
  }
}

TEST(ImportLog, DateIsMonthDayYear) {
  std::tm day{};
  day.tm_year = 2026 - 1900;
  day.tm_mon = 11;
  day.tm_mday = 6;
  EXPECT_EQ(log_date(day), "12-06-2026");
}

TEST(ImportLog, PathInWindows1252WhenItCanBeHeld) {
  EXPECT_EQ(logged_path("C:\\Caf\xC3\xA9\\a.CMX"), "C:\\Caf\xE9\\a.CMX");
  EXPECT_EQ(logged_path("/tmp/\xE2\x82\xAC.CMX"), "/tmp/\x80.CMX");
  // A character that Windows-1252 cannot hold leaves the path as given.
  EXPECT_EQ(logged_path("/tmp/\xE4\xB8\xAD.CMX"), "/tmp/\xE4\xB8\xAD.CMX");
}

}  // namespace
}  // namespace zenfaro
