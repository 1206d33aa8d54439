#pragma once
// Appending whole lines to a file that several processes may write at once
// (one worker process per adapter): the text goes out in a single write
// under an exclusive lock and is flushed to the disk before the file is
// closed, so a crash mid-run leaves only whole lines.
#include <sys/types.h>

#include <functional>
#include <string>

namespace lw {

// Opens (creating it, mode 0644) and closes the file, so that a path that
// cannot be written fails before any work is done. Only a regular file is
// taken: a FIFO, socket or device is refused without waiting on it. Empty,
// or the reason ("is a FIFO", "cannot be opened: ...").
std::string checkLogAppendable(const std::string& path);

// What goes on the end of the file, made while the lock is held from the
// file as it is then (fd open for reading and writing, size bytes long);
// empty text appends nothing. A reason in *why stops the append.
using AppendComposer = std::function<std::string(int fd, off_t size, std::string* why)>;

// Appends what compose makes. A write that fails half-way is cut back off
// the file. Empty, or the reason it failed.
std::string appendUnderLock(const std::string& path, const AppendComposer& compose);

// Appends line; an empty file first gets header (nothing when header is
// empty).
std::string appendLogLine(const std::string& path, const std::string& header, const std::string& line);

// The whole file as it is (for a composer); false with errno set.
bool readWholeFile(int fd, off_t size, std::string& text);
// Every byte of text, going on after a short write; false with errno set.
bool writeWholeText(int fd, const std::string& text);

}  // namespace lw
