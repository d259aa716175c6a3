#pragma once
// The named elements of the LCD replica: every annunciator, digit label and status picture
// whose visibility a frame switches. The names are the replica's design names.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kx::lcd {

// The blanking set first (DispInit acts on exactly these), then the thirteen digit labels,
// then the four elements outside both.
// clang-format off
#define KX_LCD_BLANKING_ELEMENTS(X)                                                         \
  X(Bar0) X(BAR1) X(bar2) X(bar3) X(bar4) X(bar5) X(bar6) X(bar7) X(bar8) X(bar9) X(bar10)  \
  X(bar11) X(bar12) X(bar13) X(bar14) X(bar15) X(bar16) X(bar17) X(bar18) X(bar19)          \
  X(bar20) X(bar21) X(bar22) X(bar23) X(bar24) X(bar25) X(bar26) X(bar27) X(bar28)          \
  X(bar29) X(bar30)                                                                         \
  X(LabFUL) X(Labclr) X(Labng) X(Labgood)                                                   \
  X(Shape1) X(Shape2) X(Shape3) X(Shape4)                                                   \
  X(labdc) X(labt) X(labac)                                                                 \
  X(labmo) X(Labgo)                                                                         \
  X(Labv) X(Labo) X(Labmo1) X(Labgo1) X(Labto)                                              \
  X(power) X(labs1) X(labs2) X(labs3)                                                       \
  X(labCOMP) X(labTIME1) X(labtime2) X(Labtime) X(labsave) X(labLoad) X(labp1)              \
  X(danger) X(IMoff) X(IMmike) X(IGPower)                                                   \
  X(powerV1) X(powerv2) X(powerv3)                                                          \
  X(T_dPoint1) X(Point1) X(Point2) X(Point3)                                                \
  X(LabelF) X(stor1) X(Label4)

#define KX_LCD_DIGIT_ELEMENTS(X)                                                            \
  X(LabelA) X(LabelB) X(LabelC) X(LabelD) X(Label3) X(Label7) X(Label10) X(Label9)         \
  X(H_Time1) X(H_Time2) X(M_Time1) X(M_Time2) X(stor2)

#define KX_LCD_OTHER_ELEMENTS(X) X(CONok) X(CONokN) X(rsUSB) X(KD)
// clang-format on

#define KX_LCD_ENUM_ENTRY(name) name,
enum class Element : uint8_t {
  KX_LCD_BLANKING_ELEMENTS(KX_LCD_ENUM_ENTRY) KX_LCD_DIGIT_ELEMENTS(KX_LCD_ENUM_ENTRY)
      KX_LCD_OTHER_ELEMENTS(KX_LCD_ENUM_ENTRY)
};
#undef KX_LCD_ENUM_ENTRY

inline constexpr int kElementCount = 91;
inline constexpr int kBlankingCount = 74;
inline constexpr int kDigitCount = 13;
inline constexpr int kFirstDigit = static_cast<int>(Element::LabelA);

#define KX_LCD_NAME_ENTRY(name) #name,
inline constexpr std::array<std::string_view, kElementCount> kElementNames = {
    KX_LCD_BLANKING_ELEMENTS(KX_LCD_NAME_ENTRY) KX_LCD_DIGIT_ELEMENTS(KX_LCD_NAME_ENTRY)
        KX_LCD_OTHER_ELEMENTS(KX_LCD_NAME_ENTRY)};
#undef KX_LCD_NAME_ENTRY

static_assert(static_cast<int>(Element::KD) + 1 == kElementCount);
static_assert(static_cast<int>(Element::Label4) + 1 == kBlankingCount);
static_assert(kFirstDigit == kBlankingCount);

constexpr int index(Element e) {
  return static_cast<int>(e);
}
constexpr std::string_view elementName(Element e) {
  return kElementNames[index(e)];
}
std::optional<Element> elementByName(std::string_view name);

constexpr bool inBlankingSet(Element e) {
  return index(e) < kBlankingCount;
}

// The thirteen digits in frame order (k = 1..13 is index 0..12).
enum class DigitKind : uint8_t { Main, SecondRow, Timer, Memory };

struct DigitInfo {
  Element label;
  Element paired;      // the digit's extra segment
  Element paired2;     // a second element lit by the same segment (only the timer colon), or
                       // `paired` again
  uint8_t firstChar;   // 1-based frame position of the code's high hex digit
  uint8_t secondChar;  // 1-based frame position of the code's low hex digit
  DigitKind kind;
  char designCaption;
};

inline constexpr std::array<DigitInfo, kDigitCount> kDigits = {{
    {Element::LabelA, Element::Point1, Element::Point1, 22, 21, DigitKind::Main, '8'},
    {Element::LabelB, Element::Point2, Element::Point2, 24, 23, DigitKind::Main, '8'},
    {Element::LabelC, Element::Point3, Element::Point3, 26, 25, DigitKind::Main, '8'},
    {Element::LabelD, Element::Labto, Element::Labto, 28, 27, DigitKind::Main, '8'},
    {Element::Label3, Element::danger, Element::danger, 31, 30, DigitKind::SecondRow, '0'},
    {Element::Label7, Element::Labng, Element::Labng, 33, 32, DigitKind::SecondRow, '0'},
    {Element::Label10, Element::Labgood, Element::Labgood, 35, 34, DigitKind::SecondRow, '0'},
    {Element::Label9, Element::Label4, Element::Label4, 37, 36, DigitKind::SecondRow, '0'},
    {Element::H_Time1, Element::Labclr, Element::Labclr, 15, 16, DigitKind::Timer, '8'},
    {Element::H_Time2, Element::Labtime, Element::T_dPoint1, 13, 14, DigitKind::Timer, '8'},
    {Element::M_Time1, Element::labCOMP, Element::labCOMP, 11, 12, DigitKind::Timer, '8'},
    {Element::M_Time2, Element::Labgo, Element::Labgo, 9, 10, DigitKind::Timer, '8'},
    {Element::stor2, Element::LabFUL, Element::LabFUL, 17, 18, DigitKind::Memory, '8'},
}};

constexpr int digitIndex(Element label) {
  return index(label) - kFirstDigit;
}

}  // namespace kx::lcd
