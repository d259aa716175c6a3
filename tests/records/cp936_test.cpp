#include <gtest/gtest.h>

#include "app/core/Cp936.h"

namespace kx {
namespace {

TEST(Cp936, DecodesForDisplay) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"DCV  600V", "DCV  600V"},
      {"\xA6\xB8", "\xCE\xA9"},  // ohm sign -> U+03A9
      {"IR:500V 20G\xA6\xB8", "IR:500V 20G\xCE\xA9"},
      {"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},  // two Chinese characters
      {"a\xA6", "a\xEF\xBF\xBD"},                        // cut in the middle of a character
      {"\xFF\xFF", "\xEF\xBF\xBD\xEF\xBF\xBD"},          // not code page 936
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(cp936ToUtf8(in), out);
}

TEST(Cp936, EncodesBackForTexts) {
  EXPECT_EQ(utf8ToCp936("\xCE\xA9"), "\xA6\xB8");
  EXPECT_EQ(utf8ToCp936("abc"), "abc");
  EXPECT_EQ(utf8ToCp936("\xF0\x9F\x98\x80x"), "?x");  // no code page 936 form
}

}  // namespace
}  // namespace kx
