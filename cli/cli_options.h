#pragma once
// The command line of loomwrite-cli, parsed into one record. Options written
// after a file (--at, --merge) belong to that file only.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/image_file_writer.h"

namespace lw::cli {

struct InputFile {
  std::string path;
  std::optional<uint32_t> at;  // IAP address; absent: AP (offset 0)
  bool merge = false;          // keep the current buffer ("Clear Buffer" unchecked)
};

struct OptionSettings {
  std::vector<std::string> check;    // --option NAME: boxes to check
  std::vector<std::string> uncheck;  // --no-option NAME: boxes to uncheck
  std::optional<uint32_t> iwdgCounter;
  std::optional<std::vector<uint8_t>> rawBytes;  // --option-bytes HEX
  bool any() const { return !check.empty() || !uncheck.empty() || iwdgCounter || rawBytes; }
};

// Where a request form goes: text ("-": standard output), BMP, PDF.
struct FormOutputs {
  std::string text, bmp, pdf;
  bool any() const { return !text.empty() || !bmp.empty() || !pdf.empty(); }
};

// program-adapter: the Off-line mode dialog's fields as the user would set them.
struct OfflineOptions {
  std::optional<std::string> maxCounter;  // decimal digits, as typed
  std::optional<std::string> serialString;
  std::optional<uint32_t> serialNumber;
  bool autoIncrement = false;
  std::optional<uint32_t> serialAddress;
  // Any serial option ticks "Enable SerialNumber".
  bool serialEnabled() const { return serialString || serialNumber || autoIncrement || serialAddress; }
  bool any() const { return maxCounter || serialEnabled(); }
};

// program and gang program --serial-at: a serial number from the log's pool
// written into each board.
struct SerialOptions {
  std::optional<uint32_t> at;  // the flash address
  unsigned bytes = 4;
  uint64_t from = 1;           // the lowest number the pool hands out
  std::string pool = "default";
  bool fromGiven = false, bytesGiven = false, poolGiven = false;
};

// log find|summary|export|serials|flush: what is asked of the log.
struct LogQuery {
  std::string action;  // find, summary, export, serials, flush
  std::optional<uint64_t> serial;       // find --serial HEX
  std::optional<std::string> serialString;  // find --serial-string S
  std::optional<std::string> image;     // find --image SHA (a prefix, lower case)
  std::string since;                    // --since DATE, as the time text rows are compared with
  std::string by;                       // summary --by KEY; empty: every row in one group
  std::string command;                  // --command NAME
  bool csv = false;                     // export --csv (the default); --json gives JSON lines
};

struct Options {
  std::string command;     // parts, load, kpj-save, kpj-show, program, program-adapter, firmware, emulator-start,
                           // check-update, kpj-form, adapters, read, verify, erase, blank-check, gang-program,
                           // gang-program-adapter, gang-verify, gang-erase, gang-blank-check, log-find,
                           // log-summary, log-export, log-serials, log-flush
  std::string adapter;     // usb[:PORT|:/dev/hidrawN] | emulator:DIR[,DIR...]; empty: from LOOMWRITE_ADAPTER
  bool json = false;
  // --language en|zh: the Language index of the message lines and the JSON
  // texts (English by default; see languageFromEnvironment).
  uint16_t languageIndex = 0;
  bool languageGiven = false;
  bool yes = false;
  bool force = false;
  bool progress = false;   // --progress: progress also when standard error is not a terminal
  bool optionsOnly = false;  // program --options-only: no file, the option bytes alone
  std::string part;        // empty only when every input is a project file
  std::vector<InputFile> inputs;
  std::string output;      // --out FILE, the .kpj of kpj save, or the file read writes
  std::optional<uint32_t> size;  // read --size N: the bytes to read (default: the part's whole flash)
  // load --out, read: --format bin|hex|srec, else what the output's extension asks for.
  std::optional<ImageFileFormat> outputFormat;
  OptionSettings options;
  std::string updateUrl;   // check-update --url BASE; empty: environment, else built in
  OfflineOptions offline;
  std::string log;         // --log STORE of the commands that use an adapter's target: the production log
  std::string station;     // --station NAME; empty: the host name
  std::string operatorName;  // --operator NAME
  SerialOptions serial;
  LogQuery query;
  // emulator start DIR [--times N]
  std::string emulatorDir;
  uint32_t times = 1;
  // The request form: its address block (--to, --from, --part-no) and
  // outputs (kpj form: --text, --bmp, --pdf; kpj save: --form-text...).
  std::optional<std::string> to, from, partNo;
  FormOutputs form;
  bool formOptionsGiven = false;
  bool addressingGiven() const { return to || from || partNo; }
  // gang: the adapters to program ("all", or places and ports separated by
  // commas) and the arguments every worker gets after its own --adapter:
  // the command line without gang, --adapter, --adapters, --json, --progress.
  std::string gangAdapters = "all";
  std::vector<std::string> workerArgs;
};

struct ParseResult {
  std::optional<Options> options;
  std::string error;  // usage error when options is empty
  bool help = false;
};

ParseResult parseArguments(const std::vector<std::string>& args);

// Whether a path names a project file (".kpj", any letter case), which
// brings its own part.
bool isProjectPath(const std::string& path);

const char* usageText();

// The language LOOMWRITE_LANGUAGE names when --language was not given.
// Returns an empty text, or the usage error of a value that names none.
std::string languageFromEnvironment(Options& options, const char* value);

}  // namespace lw::cli
