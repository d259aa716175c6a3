#pragma once
// Record table files: the tab-separated table text file (.xls, .txt, any extension but .xml)
// and the XML data packet (.xml). Both are written byte for byte as the table stores its
// texts; nothing here knows about widgets.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/RecordTable.h"
#include "records/TimeText.h"

namespace kx {

enum class RecordFileForm { Text, XmlPacket };

// The form a path's extension selects: ".xml" in any case is the data packet, anything else
// (no extension included) is text.
RecordFileForm recordFileForm(const std::string& path);

struct SaveOptions {
  // The order in which the grid shows its columns; it orders the header line only.
  std::array<Field, kFieldCount> headerOrder{Field::No,   Field::Time,    Field::Value,
                                             Field::Unit, Field::V_Range, Field::I_Range};
  // Time format of text files; the process's LC_TIME format when empty.
  std::optional<TimeText> timeText;
};

struct LoadOptions {
  // Time format of text files; the process's LC_TIME format when empty.
  std::optional<TimeText> timeText;
};

// The messages the window shows.
inline constexpr char kLoadFailedText[] = "Failed to Load File!";
inline constexpr char kLoadFailedCaption[] = "Error";
inline constexpr char kSavedPrefix[] = "Save table to specified file: ";
inline constexpr char kSavedSuffix[] = " Scuss!";
inline constexpr char kSaveFailedPrefix[] = "Could not save table to specified file: ";

// Writes the table to `path` in the form its extension selects. The file is written to a
// temporary file in the same folder and renamed over `path` only when all of it is on disk,
// so a failed save leaves an existing file as it was. Empty result on success, else the
// message the window shows ("Could not save table to specified file: " and the path for
// text; the system's error text for the data packet).
std::optional<std::string> saveRecordFile(const RecordTable& table, const std::string& path,
                                          const SaveOptions& options = {});

// Reads `path` in the form its extension selects. A text file's records go after those in the
// table; a failing line ends the load and leaves the records of the lines before it. A data
// packet replaces the table's content only when all of it was read. Empty result on success,
// else "Failed to Load File!".
std::optional<std::string> loadRecordFile(RecordTable& table, const std::string& path,
                                          const LoadOptions& options = {});

// The pieces behind the two functions above, on bytes in memory (tests, fuzzing).
std::string textFileBytes(const RecordTable& table, const SaveOptions& options = {});
std::string xmlPacketBytes(const RecordTable& table);
// Appends the records of a table text file's bytes; false at the first failing line.
bool loadTextBytes(RecordTable& table, std::string_view bytes, const TimeText& timeText);
// Reads a data packet into `out`, which must be empty; false if it is not a fitting packet
// (then `out` holds whatever rows were read before the fault).
bool loadXmlBytes(RecordTable& out, std::string_view bytes);

}  // namespace kx
