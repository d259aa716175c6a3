#include "app/core/Cp936.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace kx {
namespace {

// One conversion with iconv; `replacement` stands for each input sequence it cannot convert.
std::string convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, bool skipWholeMultibyte) {
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter on this system: show the bytes as they are where they are ASCII.
    for (unsigned char c : in) out += c < 0x80 ? std::string(1, static_cast<char>(c)) : "?";
    return out;
  }
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buf[256];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence): replace and step over the offending input.
      out.append(replacement);
      size_t step = 1;
      if (skipWholeMultibyte) {
        // A UTF-8 lead byte tells how long the sequence is.
        unsigned char c = static_cast<unsigned char>(*src);
        step = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (step > srcLeft) step = srcLeft;
      }
      src += step;
      srcLeft -= step;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string cp936ToUtf8(std::string_view bytes) {
  // Pure ASCII is the common case and needs no converter.
  bool ascii = true;
  for (unsigned char c : bytes) ascii = ascii && c < 0x80;
  if (ascii) return std::string(bytes);
  return convert("UTF-8", "CP936", bytes, "\xEF\xBF\xBD", false);
}

std::string utf8ToCp936(std::string_view utf8) {
  return convert("CP936", "UTF-8", utf8, "?", true);
}

}  // namespace kx
