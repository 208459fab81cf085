#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/vb/vb.h"

namespace kyx::vb {
namespace {

TEST(LocaleFromEnvironment, ItalianLocaleGivesDecimalComma) {
  ASSERT_STREQ(std::getenv("LC_ALL"), "it_IT.UTF-8");  // set by ctest
  EXPECT_EQ(locale().decimal, ',');
  EXPECT_EQ(locale().thousands, '.');
  EXPECT_EQ(Format(1234.5, "#,##0.00"), "1.234,50");
  EXPECT_EQ(CDbl("1.234,5"), 1234.5);
}

}  // namespace
}  // namespace kyx::vb
