#include "platform/vb/detail.h"
#include "tests/platform/vb/vb_test_support.h"

namespace kyx::vb {
namespace {

bool comma(const char* name) {
  const Locale loc = detail::locale_for_name(name);
  EXPECT_EQ(loc.thousands, loc.decimal == ',' ? '.' : ',') << name;
  return loc.decimal == ',';
}

TEST(Locale, FromLocaleNames) {
  EXPECT_TRUE(comma("it_IT.UTF-8"));
  EXPECT_TRUE(comma("it_IT"));
  EXPECT_TRUE(comma("it"));
  EXPECT_TRUE(comma("it_IT@euro"));
  EXPECT_TRUE(comma("de_DE.UTF-8"));
  EXPECT_TRUE(comma("fr_FR"));
  EXPECT_TRUE(comma("es_ES.ISO-8859-1"));
  EXPECT_TRUE(comma("pt_BR.UTF-8"));
  EXPECT_FALSE(comma("C"));
  EXPECT_FALSE(comma("C.UTF-8"));
  EXPECT_FALSE(comma("POSIX"));
  EXPECT_FALSE(comma(""));
  EXPECT_FALSE(comma("en_US.UTF-8"));
  EXPECT_FALSE(comma("en_GB"));
  EXPECT_FALSE(comma("it_CH.UTF-8"));
  EXPECT_FALSE(comma("de_CH"));
  EXPECT_FALSE(comma("ja_JP.UTF-8"));
}

TEST(Locale, SetLocaleChangesFormatAndCDbl) {
  {
    ScopedLocale loc(kEnglish);
    EXPECT_EQ(Format(1234.5, "#,##0.00"), "1,234.50");
    EXPECT_EQ(CDbl("1,234.5"), 1234.5);
  }
  {
    ScopedLocale loc(kItalian);
    EXPECT_EQ(Format(1234.5, "#,##0.00"), "1.234,50");
    EXPECT_EQ(CDbl("1.234,5"), 1234.5);
  }
}

TEST(Locale, DefaultIsItalian) {
  const Locale loc;
  EXPECT_EQ(loc.decimal, ',');
  EXPECT_EQ(loc.thousands, '.');
}

}  // namespace
}  // namespace kyx::vb
