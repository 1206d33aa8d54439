#pragma once
// Appending whole lines to a log file that several processes may write at
// once (one worker process per adapter): each line goes out in a single
// write under an exclusive lock and is flushed to the disk before the file
// is closed, so a crash mid-run leaves only whole lines.
#include <string>

namespace lw::cli {

// Opens (creating it, mode 0644) and closes the log, so that a path that
// cannot be written fails before any work is done. Only a regular file is
// a log: a FIFO, socket or device is refused without waiting on it. Empty,
// or the reason ("is a FIFO", "cannot be opened: ...").
std::string checkLogAppendable(const std::string& path);

// Appends line; an empty file first gets header (nothing when header is
// empty). A write that fails half-way is cut back off the file. Empty, or
// the reason it failed.
std::string appendLogLine(const std::string& path, const std::string& header, const std::string& line);

}  // namespace lw::cli
