#pragma once
// Conversion of the 8-bit texts (code page 936, as the meter and the files carry them) to
// UTF-8 for showing them. Stored bytes are never converted back.

#include <string>
#include <string_view>

namespace kx {

// Decodes code page 936 bytes to UTF-8. A byte sequence that is not valid code page 936
// shows as U+FFFD; the result is never empty for non-empty input.
std::string cp936ToUtf8(std::string_view bytes);

// Encodes UTF-8 into code page 936; characters without a code page 936 form become '?'.
std::string utf8ToCp936(std::string_view utf8);

}  // namespace kx
