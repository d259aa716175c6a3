#pragma once
// The decode tables of a frame: hex digits, the annunciator map and the two seven-segment
// tables. All are data; the decoder and the encoder read the same tables.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "lcd/LcdElements.h"

namespace kx::lcd {

// Value 0..15 of an upper-case hex digit "0"-"9", "A"-"F"; -1 for any other character.
constexpr int HexNibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What a set bit does besides showing elements.
enum class Effect : uint8_t {
  None,
  Dc,        // DcSeen, FunctionText "DCV  600V", hide KD
  Ac,        // AcSeen, FunctionText "ACV  600V", hide KD
  Minus,     // MinusSeen
  UnitV,     // UnitText "V"
  UnitOhm,   // UnitText "Ω"
  UnitMOhm,  // UnitText "MΩ"
  UnitGOhm,  // UnitText "GΩ"
  Timed,     // RemarkText "Timed"
  Pi,        // RemarkText "PI"
};

struct BitEffect {
  std::array<Element, 5> shows;
  uint8_t count;  // entries of `shows` in use
  Effect effect;
};

struct AnnunciatorChar {
  uint8_t position;               // 1-based frame position
  std::array<BitEffect, 4> bits;  // bit 0 (weight 1) to bit 3 (weight 8)
};

// The annunciator map in the order the characters are visited.
extern const std::array<AnnunciatorChar, 15> kAnnunciatorMap;

// Texts the map and the range rule write (8-bit, the ohm sign as code page 936 bytes).
inline constexpr std::string_view kDcFunction = "DCV  600V";
inline constexpr std::string_view kAcFunction = "ACV  600V";

// A glyph code: the character shown ('0'-'9', '@' for L, '-', 'H' blank, 'G' not
// recognised) and the state of the digit's extra segment ('N' off, 'P' on, '-' in "--").
struct Glyph {
  char shown;
  char extra;
  constexpr bool operator==(const Glyph&) const = default;
};

inline constexpr Glyph kUnrecognised{'G', 'P'};
inline constexpr Glyph kBlank{'H', 'N'};

struct SegmentEntry {
  Glyph glyph;
  uint8_t code;
};

// Recognised segment codes of the main digits (main, timer and memory digits) and of the
// second-row digits. Every code not listed decodes to "GP".
// The first entry of a glyph is the code the encoder writes for it.
extern const std::array<SegmentEntry, 24> kMainSegTable;
extern const std::array<SegmentEntry, 25> kSubSegTable;

// Table lookups by segment code byte.
Glyph decodeMainCode(uint8_t code);
Glyph decodeSubCode(uint8_t code);

// The same lookups on a code text: the first two characters are compared exactly
// (upper-case hex); a shorter or other text gives "GP".
std::string DecodeMainSeg(std::string_view code);
std::string DecodeSubSeg(std::string_view code);

}  // namespace kx::lcd
