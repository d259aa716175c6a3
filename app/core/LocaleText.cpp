#include "app/core/LocaleText.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace kx {

std::string environmentDecimalSeparator() {
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return {};
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  std::string result(radix ? radix : "", radix ? strnlen(radix, 9) : 0);
  freelocale(loc);
  return result;
}

}  // namespace kx
