// The choice of the large icon: 1 or 2, from the generator seeded at start-up.
#include <gtest/gtest.h>

#include "ui/model/icon_choice.h"

namespace zenfaro {
namespace {

TEST(IconChooser, GivesOnlyOneOrTwoAndBothOfThem) {
  IconChooser chooser(12345);
  int ones = 0;
  int twos = 0;
  for (int i = 0; i < 1000; ++i) {
    const int icon = chooser.next();
    ASSERT_TRUE(icon == 1 || icon == 2) << icon;
    (icon == 1 ? ones : twos) += 1;
  }
  // Equal chance: both far from never.
  EXPECT_GT(ones, 400);
  EXPECT_GT(twos, 400);
}

TEST(IconChooser, TheSameSeedGivesTheSameSequence) {
  IconChooser a(99);
  IconChooser b(99);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(a.next(), b.next());
}

}  // namespace
}  // namespace zenfaro
