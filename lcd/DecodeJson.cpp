#include "lcd/DecodeJson.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/core/Cp936.h"

namespace kx::lcd {

std::string jsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", c);
      out += esc;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string decodeJsonLine(std::string_view frame, const DecodeResult& result,
                           const AppState& state, const LcdModel& model) {
  std::string out = "{\"frame\":" + jsonString(cp936ToUtf8(frame));
  out += ",\"accepted\":";
  out += result.accepted ? "true" : "false";
  out += ",\"reading\":" + jsonString(cp936ToUtf8(state.ReadingText));
  out += ",\"function\":" + jsonString(cp936ToUtf8(state.FunctionText));
  out += ",\"remark\":" + jsonString(cp936ToUtf8(state.RemarkText));
  out += ",\"unit\":" + jsonString(cp936ToUtf8(state.UnitText));
  out += ",\"handoff\":";
  out += result.handoff ? "true" : "false";

  std::vector<std::string_view> visible;
  for (int i = 0; i < kElementCount; ++i)
    if (model.visible(static_cast<Element>(i))) visible.push_back(kElementNames[i]);
  std::sort(visible.begin(), visible.end());  // string_view compares bytes as unsigned char
  out += ",\"visible\":[";
  for (size_t i = 0; i < visible.size(); ++i) {
    if (i) out += ',';
    out += jsonString(visible[i]);
  }
  out += "],\"captions\":{";
  for (int k = 0; k < kDigitCount; ++k) {
    if (k) out += ',';
    out += jsonString(elementName(kDigits[k].label)) + ":" +
           jsonString(std::string(1, model.caption(k)));
  }
  out += "}}";
  return out;
}

}  // namespace kx::lcd
