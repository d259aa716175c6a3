#include "records/TextPool.h"

#include <stdexcept>

namespace kx {

TextPool::TextPool() {
  clear();
}

void TextPool::clear() {
  ids_.clear();
  texts_.clear();
  texts_.emplace_back();  // id 0: no value
}

uint32_t TextPool::intern(std::string_view text) {
  if (auto it = ids_.find(text); it != ids_.end()) return it->second;
  if (texts_.size() >= UINT32_MAX) throw std::length_error("too many distinct texts");
  const auto id = static_cast<uint32_t>(texts_.size());
  const std::string& stored = texts_.emplace_back(text);
  ids_.emplace(std::string_view(stored), id);
  return id;
}

}  // namespace kx
