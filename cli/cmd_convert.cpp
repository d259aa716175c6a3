// kx3816-cli convert IN OUT: loads a record file into an empty table and saves it again, each
// in the form its extension selects, with the code the window uses.

#include <clocale>
#include <cstdio>

#include "cli/Commands.h"
#include "files/RecordFiles.h"

namespace kx::cli {

int cmdConvert(const Args& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "Usage: kx3816-cli convert IN OUT\n");
    return 2;
  }
  // Times in text files follow the user's LC_TIME, as in the window.
  std::setlocale(LC_TIME, "");
  RecordTable table;
  if (auto failure = loadRecordFile(table, args[0])) {
    std::fprintf(stderr, "%s\n", failure->c_str());
    return 1;
  }
  if (auto failure = saveRecordFile(table, args[1])) {
    std::fprintf(stderr, "%s\n", failure->c_str());
    return 1;
  }
  return 0;
}

}  // namespace kx::cli
