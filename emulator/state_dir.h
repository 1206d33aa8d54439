#pragma once
// The emulator's state directory. Files are written whole through a
// temporary file and a rename, so a reader never sees half a file and a
// failed write leaves the old file in place. Each file's stamp (size,
// modification time, inode) is remembered after every read and write, so the
// emulator can tell when another process or a person changed a file.
// Only regular files are read or replaced: a FIFO, socket, device or
// directory in a state file's place is reported, never waited on.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lw::emu {

// File names inside the state directory.
namespace file {
inline constexpr char kAdapter[] = "adapter.ini";
inline constexpr char kAdapterFirmware[] = "adapter-firmware.bin";
inline constexpr char kOfflineHeader[] = "offline-header.bin";
inline constexpr char kOfflineCode[] = "offline-code.bin";
inline constexpr char kOfflineRun[] = "offline-run.ini";
inline constexpr char kTarget[] = "target.ini";
inline constexpr char kTargetFlash[] = "target-flash.bin";
inline constexpr char kTargetOptions[] = "target-options.txt";
inline constexpr char kFaults[] = "faults.ini";
inline constexpr char kLog[] = "emulator.log";
}  // namespace file

class StateDir {
 public:
  explicit StateDir(std::filesystem::path dir);

  const std::filesystem::path& path() const { return dir_; }
  // Creates the directory when needed; false (and a logged problem) when it
  // cannot be made.
  bool ensureExists();

  bool exists(const char* name) const;
  // True when the file differs from what was last read or written here
  // (including appearing or disappearing). Small files are compared by
  // content too, since an edit in place within one clock tick can keep
  // size and modification time.
  bool changed(const char* name) const;
  // Reads the whole file and remembers its stamp; nothing when it is missing
  // or unreadable (unreadable is logged).
  std::optional<std::string> read(const char* name);
  // Writes the whole file; false (and a logged problem naming the file and
  // the system's reason) on failure.
  bool write(const char* name, const std::string& bytes);
  // Removes the file; missing is fine.
  void remove(const char* name);
  // Forgets what was last read or written, so the file counts as changed
  // and is read again: after a write that failed, the directory is what the
  // emulator goes on from.
  void forget(const char* name) { known_.erase(name); }
  // "adapter.ini is a FIFO" for the first state file that exists and is not
  // a regular file; nothing when there is none.
  std::optional<std::string> strayFile() const;

  // Appends a line to emulator.log and to standard error; a line already
  // reported by this process is not repeated.
  void log(const std::string& line);
  // Appends a line to emulator.log only: what the adapter did, not a problem.
  void note(const std::string& line);

 private:
  struct Stamp {
    bool present = false;
    uintmax_t size = 0;
    int64_t modified = 0;
    uint64_t inode = 0;
    bool operator==(const Stamp&) const = default;
  };
  struct Known {
    Stamp stamp;
    std::optional<std::size_t> contentHash;  // small files only
  };
  Stamp stampOf(const char* name) const;
  // The file's bytes; nothing, with the reason, when it cannot be read.
  std::optional<std::string> readRaw(const char* name, std::string* why = nullptr) const;
  void remember(const char* name, const std::string* content);
  // Standard error only, once per line and process.
  bool warnOnce(const std::string& line);

  std::filesystem::path dir_;
  std::map<std::string, Known> known_;
  std::set<std::string> warned_;
};

}  // namespace lw::emu
