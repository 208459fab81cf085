// Values keep their text buffer from one assignment to the next: what a reused value reads must
// always be what was last put into it, never a text left over from before.
#include "platform/data/value.h"

#include <gtest/gtest.h>

#include <string>

namespace kyx::data {
namespace {

TEST(Value, AReusedValueReadsOnlyWhatWasLastAssigned) {
  Value v("a description much longer than the short-text room of a string");
  v.SetNull();
  EXPECT_TRUE(v.is_null());
  EXPECT_EQ(v.text(), "");
  EXPECT_EQ(v.AsText(), "");
  EXPECT_EQ(v, Value());
  v.AssignInteger(7);
  EXPECT_EQ(v.kind(), Value::Kind::Integer);
  EXPECT_EQ(v.AsText(), "7");
  EXPECT_EQ(v, Value(7));
  EXPECT_NE(v, Value("7"));
  v.AssignText("ab");
  EXPECT_EQ(v, Value("ab"));
  v.AssignDouble(2.5);
  EXPECT_EQ(v.AsText(), "2.5");
  EXPECT_EQ(v.integer(), 0);  // not an integer
  v.AssignText("");
  EXPECT_EQ(v.kind(), Value::Kind::Text);
  EXPECT_EQ(v.text(), "");
}

TEST(Value, CopiesAndMovesCarryTheKindAndNeverAStaleText) {
  Value text("a text long enough to live outside the string object itself");
  Value number(42);
  Value target("an older text, also long enough to be allocated on its own");
  target = number;
  EXPECT_EQ(target, Value(42));
  Value copy(target);
  EXPECT_EQ(copy, Value(42));
  EXPECT_EQ(copy.text(), "");
  target = text;
  EXPECT_EQ(target, text);
  target = Value();
  EXPECT_TRUE(target.is_null());
  Value moved(std::move(text));
  EXPECT_EQ(moved.text(), "a text long enough to live outside the string object itself");
  Value into(5);
  into = std::move(moved);
  EXPECT_EQ(into.text(), "a text long enough to live outside the string object itself");
  // The moved-from value is an empty text, not the text that `into` held before.
  EXPECT_EQ(moved.kind(), Value::Kind::Text);
  EXPECT_EQ(moved.text(), "");
  Value d(1.0);
  Value i(1);
  EXPECT_NE(d, i);  // a double is not an integer, as before
  EXPECT_EQ(d, Value(1.0));
}

TEST(Value, AsciiCheckSeesAHighByteAnywhere) {
  EXPECT_TRUE(IsAscii(""));
  EXPECT_TRUE(IsAscii("plain text of more than eight bytes"));
  for (size_t at = 0; at < 20; ++at) {
    std::string s(20, 'a');
    s[at] = '\xE9';
    EXPECT_FALSE(IsAscii(s)) << at;
    EXPECT_FALSE(IsAscii(std::string_view(s).substr(at))) << at;
    EXPECT_TRUE(IsAscii(std::string_view(s).substr(0, at))) << at;
  }
}

}  // namespace
}  // namespace kyx::data
