// Fuzzes the XML data packet reader. Whatever it accepts must write and read back to exactly
// the same records.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/RecordFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kx;
  RecordTable table;
  if (!loadXmlBytes(table, std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
  RecordTable back;
  if (!loadXmlBytes(back, xmlPacketBytes(table))) std::abort();
  if (back.count() != table.count()) std::abort();
  for (size_t r = 0; r < table.count(); ++r)
    if (!(back.record(r) == table.record(r)) || back.isLogged(r) != table.isLogged(r)) std::abort();
  return 0;
}
