// Fuzzes the table text file reader. Whatever it accepts must save and read back to the same
// number of records, and a failing line must leave no record of its own.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/RecordFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kx;
  // The first byte picks the time format: the plain 24-hour one, or a 12-hour one looked up.
  const bool twelve = size > 0 && (data[0] & 1);
  const TimeText tt(twelve ? "%I:%M:%S %p" : "%H:%M:%S");
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RecordTable table;
  const bool ok = loadTextBytes(table, bytes.substr(size > 0 ? 1 : 0), tt);
  for (size_t r = 0; r < table.count(); ++r)
    if (!table.no(r)) std::abort();  // every record has the No that its line began with
  if (ok) {
    SaveOptions o;
    o.timeText = tt;
    RecordTable back;
    // A time read back is a time written; only records without a time cannot come back.
    bool allTimed = true;
    for (size_t r = 0; r < table.count(); ++r) allTimed = allTimed && table.timeMs(r);
    const bool again = loadTextBytes(back, textFileBytes(table, o), tt);
    if (allTimed && (!again || back.count() != table.count())) std::abort();
  }
  return 0;
}
