#include "lcd/LcdModel.h"

namespace kx::lcd {

LcdModel::LcdModel() {
  visible_.set();
  visible_.reset(index(Element::CONok));
  for (int k = 0; k < kDigitCount; ++k) captions_[k] = kDigits[k].designCaption;
  changed_.set();
}

std::optional<Element> elementByName(std::string_view name) {
  for (int i = 0; i < kElementCount; ++i)
    if (kElementNames[i] == name) return static_cast<Element>(i);
  return std::nullopt;
}

}  // namespace kx::lcd
