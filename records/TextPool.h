#pragma once
// Interned texts of the record table. The reading, unit, function and remark texts repeat
// endlessly, so every distinct text is stored once and a record keeps a 32-bit id.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kx {

class TextPool {
 public:
  static constexpr uint32_t kNull = 0;  // id of "no value"

  TextPool();
  uint32_t intern(std::string_view text);
  std::string_view text(uint32_t id) const { return texts_[id]; }
  size_t size() const { return texts_.size(); }
  void clear();

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::deque<std::string> texts_;  // a deque keeps the views in ids_ valid as it grows
  std::unordered_map<std::string_view, uint32_t, Hash, std::equal_to<>> ids_;
};

}  // namespace kx
