#include "cli/Commands.h"

namespace kx::cli {

// Each command's entry point, defined in its own file.
// (declarations are added here as the commands are added to the table below)
int cmdConvert(const Args& args);
int cmdDecode(const Args& args);
int cmdReport(const Args& args);
int cmdFrames(const Args& args);
int cmdDevices(const Args& args);
int cmdLog(const Args& args);

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"convert",
       "convert IN OUT  load a record file and save it in the form OUT's extension selects",
       cmdConvert},
      {"decode", "decode [--decimal-separator S] [FRAME...]  decode frame texts (stdin if none)",
       cmdDecode},
      {"report", "report IN [--pdf F] [--html F] [--txt F] [--csv F]  write the data report",
       cmdReport},
      {"frames", "frames < REPORTS  the frame texts that HID input reports (hex, one a line) make",
       cmdFrames},
      {"devices", "devices [--demo]  list the HID devices; * marks the one that would be used",
       cmdDevices},
      {"log",
       "log [--demo [FILE]] [--repeat|--no-repeat] [--interval N] [--limit N] [--duration S] "
       "[--out FILE]  record readings without the window",
       cmdLog},
  };
  return table;
}

}  // namespace kx::cli
