#pragma once
// The display model of the LCD replica: the visibility of every named element and the captions
// of the thirteen digit labels. The replica widget mirrors it; the decoder writes it.
// Every change is noted, so that a view repaints only what changed.

#include <array>
#include <bitset>
#include <string>

#include "lcd/LcdElements.h"

namespace kx::lcd {

class LcdModel {
 public:
  using ElementSet = std::bitset<kElementCount>;

  // The design state: every element visible except CONok; main, timer and memory digits
  // show "8", the second-row digits "0". Every element counts as changed.
  LcdModel();

  bool visible(Element e) const { return visible_[index(e)]; }
  void setVisible(Element e, bool on) { visible_[index(e)] = on; }

  // Caption of digit k (0..12, frame order): one character.
  char caption(int digit) const { return captions_[digit]; }
  char caption(Element label) const { return captions_[digitIndex(label)]; }
  void setCaption(int digit, char c) { captions_[digit] = c; }

  // Elements whose visibility or caption differs from what the last call saw (every element
  // on the first call); from then on the current state counts as seen.
  ElementSet takeChanges();

  // Two models show the same when visibility and captions agree.
  bool sameDisplay(const LcdModel& other) const {
    return visible_ == other.visible_ && captions_ == other.captions_;
  }

 private:
  std::bitset<kElementCount> visible_;
  std::array<char, kDigitCount> captions_{};
  // What the last takeChanges() saw.
  std::bitset<kElementCount> seenVisible_;
  std::array<char, kDigitCount> seenCaptions_{};
  bool seenAny_ = false;
};

}  // namespace kx::lcd
