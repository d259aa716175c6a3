#include "lcd/LcdModel.h"

namespace kx::lcd {

LcdModel::LcdModel() {
  visible_.set();
  visible_.reset(index(Element::CONok));
  for (int k = 0; k < kDigitCount; ++k) captions_[k] = kDigits[k].designCaption;
}

LcdModel::ElementSet LcdModel::takeChanges() {
  ElementSet changes = visible_ ^ seenVisible_;
  for (int k = 0; k < kDigitCount; ++k)
    if (captions_[k] != seenCaptions_[k]) changes.set(kFirstDigit + k);
  if (!seenAny_) changes.set();
  seenVisible_ = visible_;
  seenCaptions_ = captions_;
  seenAny_ = true;
  return changes;
}

std::optional<Element> elementByName(std::string_view name) {
  for (int i = 0; i < kElementCount; ++i)
    if (kElementNames[i] == name) return static_cast<Element>(i);
  return std::nullopt;
}

}  // namespace kx::lcd
