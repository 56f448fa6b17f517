// Windows-1252 text at the edges: lossless for every byte value.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/record.h"

namespace zenfaro {
namespace {

TEST(Cp1252, EveryByteValueRoundTripsThroughUnicode) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::optional<std::string> back = utf8_to_cp1252(cp1252_to_utf8(all));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, all);
}

TEST(Cp1252, KnownCharactersMapBothWays) {
  EXPECT_EQ(cp1252_to_utf8("\x80"), "\u20AC");
  EXPECT_EQ(cp1252_to_utf8("caf\xE9"), "caf\u00E9");
  EXPECT_EQ(utf8_to_cp1252("\u201Cquoted\u201D"), std::optional<std::string>("\x93quoted\x94"));
  EXPECT_EQ(cp1252_to_utf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST(Cp1252, RefusesWhatItCannotHoldAndSaysWhich) {
  std::string problem;
  EXPECT_FALSE(utf8_to_cp1252("ok \u65E5", &problem).has_value());
  EXPECT_NE(problem.find("U+65E5"), std::string::npos);
  EXPECT_FALSE(utf8_to_cp1252("\xC3", &problem).has_value());
  EXPECT_FALSE(utf8_to_cp1252("\xC0\x80", &problem).has_value());  // overlong NUL
  EXPECT_FALSE(utf8_to_cp1252("\xED\xA0\x80", &problem).has_value());  // surrogate
}

TEST(EntryRules, RefuseWhatTheStoredFormCannotCarry) {
  EXPECT_TRUE(entry_problem("plain text").empty());
  EXPECT_TRUE(entry_problem(std::string(4999, 'x')).empty());
  EXPECT_FALSE(entry_problem(std::string(5000, 'x')).empty());
  EXPECT_FALSE(entry_problem("a\rb").empty());
  EXPECT_FALSE(entry_problem(std::string("a\0b", 3)).empty());
  EXPECT_FALSE(entry_problem("a\x1A").empty());
  EXPECT_TRUE(entry_problem("a\nb").empty());
  EXPECT_FALSE(entry_problem("a\nb", false).empty());
}

}  // namespace
}  // namespace zenfaro
