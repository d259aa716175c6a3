// The decode tables: hex digits and the two seven-segment tables, each with its cases.

#include <gtest/gtest.h>

#include "lcd/LcdTables.h"

namespace kx::lcd {
namespace {

TEST(HexNibble, UpperCaseHexDigitsOnly) {
  const struct {
    char c;
    int value;
  } cases[] = {{'0', 0},  {'7', 7},  {'9', 9},  {'A', 10}, {'C', 12}, {'F', 15},
               {'a', -1}, {'f', -1}, {'G', -1}, {' ', -1}, {'-', -1}, {'\0', -1}};
  for (const auto& c : cases) EXPECT_EQ(HexNibble(c.c), c.value) << "'" << c.c << "'";
}

struct SegCase {
  const char* code;
  const char* glyph;
};

TEST(DecodeMainSeg, EveryListedCodeAndTheRest) {
  const SegCase cases[] = {
      {"7D", "0N"},
      {"60", "1N"},
      {"3E", "2N"},
      {"7A", "3N"},
      {"63", "4N"},
      {"5B", "5N"},
      {"5F", "6N"},
      {"70", "7N"},
      {"7F", "8N"},
      {"7B", "9N"},
      {"0D", "@N"},
      {"00", "HN"},
      {"FD", "0P"},
      {"E0", "1P"},
      {"BE", "2P"},
      {"FA", "3P"},
      {"E3", "4P"},
      {"DB", "5P"},
      {"DF", "6P"},
      {"F0", "7P"},
      {"FF", "8P"},
      {"FB", "9P"},
      {"8D", "@P"},
      {"02", "--"},
      // Not listed: only the extra segment, a second-row code, lower case, short texts.
      {"80", "GP"},
      {"D7", "GP"},
      {"F8", "GP"},
      {"08", "GP"},
      {"7d", "GP"},
      {"7", "GP"},
      {"", "GP"},
      // Only the first two characters count.
      {"7DXYZ", "0N"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeMainSeg(c.code), c.glyph) << c.code;
}

TEST(DecodeSubSeg, EveryListedCodeAndTheRest) {
  const SegCase cases[] = {
      {"D7", "0N"},
      {"50", "1N"},
      {"E3", "2N"},
      {"F1", "3N"},
      {"74", "4N"},
      {"B5", "5N"},
      {"B7", "6N"},
      {"D0", "7N"},
      {"F7", "8N"},
      {"F5", "9N"},
      {"07", "@N"},
      {"00", "HN"},
      {"08", "HN"},
      {"DF", "0P"},
      {"58", "1P"},
      {"EB", "2P"},
      {"F9", "3P"},
      {"F8", "4P"},
      {"7C", "4P"},
      {"BD", "5P"},
      {"BF", "6P"},
      {"D8", "7P"},
      {"FF", "8P"},
      {"FD", "9P"},
      {"0F", "@P"},
      // The same code means something else in the main table; "--" has no code here.
      {"7D", "GP"},
      {"60", "GP"},
      {"02", "GP"},
      {"d7", "GP"},
      {"", "GP"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeSubSeg(c.code), c.glyph) << c.code;
}

TEST(SegmentTables, NoCodeIsListedTwice) {
  auto check = [](const auto& table, const char* name) {
    for (size_t i = 0; i < table.size(); ++i)
      for (size_t j = i + 1; j < table.size(); ++j)
        EXPECT_NE(table[i].code, table[j].code) << name << " row " << i << " and " << j;
  };
  check(kMainSegTable, "main");
  check(kSubSegTable, "second-row");
}

}  // namespace
}  // namespace kx::lcd
