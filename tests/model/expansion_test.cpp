// The expansion's count and its entries made apart from a list (for the preview of an add) against the expansion
// itself, over every short text and many nested ones; and the preview the window shows before "Add To".
#include <gtest/gtest.h>

#include <random>

#include "editor/alternatives.h"
#include "editor/editor_model.h"
#include "editor/expansion_preview.h"
#include "tests/support/database_folder.h"

namespace zenfaro {
namespace {

using namespace testing;
constexpr ListKind kTriggers = ListKind::triggers, kLines = ListKind::lines;

// What "Add To Commentary" leaves when the list held nothing else, or nothing beyond `limit`.
std::optional<EntryList> added_alone(const std::string& text, std::size_t limit) {
  WorkingList list(false);
  list.insert(text);
  if (!expand_alternatives(list, limit)) return std::nullopt;
  return list.entries();
}

// The invariant: the count, the entries and holds_group agree with the expansion, within and beyond a limit.
void expect_agreement(const std::string& text) {
  const std::optional<EntryList> all = added_alone(text, 100000);
  ASSERT_TRUE(all) << text;
  EXPECT_EQ(count_expansion(text, 100000), all->size()) << text;
  EXPECT_EQ(expand_entry(text, 100000), *all) << text;
  EXPECT_EQ(holds_group(text), *all != EntryList{text}) << text;
  const std::size_t limit = all->size() > 1 ? all->size() - 1 : 1;  // just below what it needs, when it can be
  const bool fits = all->size() <= limit;
  EXPECT_EQ(added_alone(text, limit).has_value(), fits) << text;
  EXPECT_EQ(count_expansion(text, limit), fits ? all->size() : limit + 1) << text;
  EXPECT_EQ(expand_entry(text, limit).empty(), !fits) << text;
}

TEST(Expansion, CountAndEntriesAgreeWithTheExpansionForEveryShortText) {
  const std::string alphabet = "(),ab ";
  std::vector<std::string> texts{""};
  for (std::size_t length = 1, from = 0; length <= 6; ++length) {
    const std::size_t to = texts.size();
    for (std::size_t i = from; i < to; ++i)
      for (const char c : alphabet) texts.push_back(texts[i] + c);
    from = to;
  }
  for (const std::string& text : texts) expect_agreement(text);
}

TEST(Expansion, CountAndEntriesAgreeWithTheExpansionForNestedGroups) {
  std::mt19937 random(21);
  // A random text of groups within groups, alternatives of letters, and stray parentheses.
  std::function<std::string(int)> make = [&](int depth) {
    std::string text;
    const int parts = std::uniform_int_distribution<int>(1, 3)(random);
    for (int p = 0; p < parts; ++p) {
      const int pick = std::uniform_int_distribution<int>(0, 9)(random);
      if (pick < 4 && depth < 4) {
        text += '(';
        const int alternatives = std::uniform_int_distribution<int>(1, 3)(random);
        for (int a = 0; a < alternatives; ++a) text += (a > 0 ? "," : "") + make(depth + 1);
        text += ')';
      } else if (pick == 4) {
        text += pick % 2 ? "(" : ")";
      } else {
        text += std::string(1, static_cast<char>('a' + pick)) + (pick > 7 ? " " : "");
      }
    }
    return text;
  };
  for (int tried = 0; tried < 3000;) {
    const std::string text = make(0);
    if (count_expansion(text, 2000) > 2000) continue;  // kept small enough for the quadratic expansion
    expect_agreement(text);
    ++tried;
  }
  expect_agreement("((p,q),b)");  // the passes leave "b" first: it is not looked at again while "(p,q)" expands
  EXPECT_EQ(expand_entry("((p,q),b)", 10), (EntryList{"b", "p", "q"}));
  std::string bomb;
  for (int i = 0; i < 60; ++i) bomb += "(a,b,c)";  // 3^60 entries, counted without overflow
  EXPECT_EQ(count_expansion(bomb, 32000), 32001u);
  EXPECT_EQ(count_expansion(std::string(2000, '(') + std::string(2000, ')'), 5), 1u);
}

class Preview : public ::testing::Test {
 protected:
  void store_lines(std::size_t lines) {
    EntryList entries;
    for (std::size_t i = 0; i < lines; ++i) entries.push_back("line " + std::to_string(i));
    folder_.store({make_record({"t"}, {}, entries)});
    model_.open();
  }
  DatabaseFolder folder_;
  EditorModel model_{folder_.env, folder_.layout(), folder_.prompt};
};

TEST_F(Preview, TellsTheCountTheFirstEntriesAndWhichListsCanTakeThem) {
  store_lines(31997);
  ExpansionPreview preview = preview_expansion(model_, "The (quick,slow,(red,blue)) fox", 3);
  EXPECT_TRUE(preview.alternatives);
  EXPECT_EQ(preview.count, 4u);
  EXPECT_EQ(preview.first, (EntryList{"The quick fox", "The slow fox", "The red fox"}));
  EXPECT_EQ(preview.fits, (std::array<bool, 3>{true, true, false}));  // 31997 + 4 lines is one too many
  EXPECT_TRUE(preview_expansion(model_, "(a,b,c)").fits[2]);          // 32000 is just right
  EXPECT_FALSE(preview_expansion(model_, "plain").alternatives);
  EXPECT_FALSE(preview_expansion(model_, "a (b").alternatives);
  // What the preview says is what the add does.
  EXPECT_FALSE(model_.add_entry(kLines, "The (quick,slow,(red,blue)) fox"));
  EXPECT_TRUE(model_.add_entry(kLines, "(a,b,c)"));
  EXPECT_FALSE(preview_expansion(model_, "x").fits[2]);  // a full list takes nothing more
  // A group an entry kept since Modify Entry expands with the next add, and counts.
  ASSERT_TRUE(model_.modify_entry(kTriggers, 0, "(a,b)"));
  std::string many;
  for (int i = 0; i < 8; ++i) many += "(a,b)";
  many += "(a,b,c,d,e)(a,b,c,d,e)(a,b,c,d,e)";  // 2^8 * 5^3 = 32000: a list's capacity
  preview = preview_expansion(model_, many + "(a,b)");
  EXPECT_EQ(preview.count, 32001u);  // 64000: more than a list holds
  EXPECT_EQ(preview.fits, (std::array<bool, 3>{false, false, false}));
  EXPECT_TRUE(preview.first.empty());
  preview = preview_expansion(model_, many);
  EXPECT_EQ(preview.fits, (std::array<bool, 3>{false, true, false}));  // the trigger's group makes 2 more
  EXPECT_FALSE(model_.add_entry(kTriggers, many));
  // Long entries in thousands are counted, not made.
  preview = preview_expansion(model_, std::string(4500, 'x') + "(a,b)(a,b)(a,b)(a,b)(a,b)(a,b)(a,b)(a,b)(a,b)(a,b)");
  EXPECT_EQ(std::make_pair(preview.count, preview.first.size()), std::make_pair(std::size_t{1024}, std::size_t{0}));
}

}  // namespace
}  // namespace zenfaro
