#include "cli/cli_options.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "core/text.h"
#include "platform/hid/adapter_choice.h"
#include "production/record_query.h"
#include "production/serial_stamp.h"
#include "production/store_address.h"
#include "resources/hex_entry.h"
#include "resources/languages.h"

namespace lw::cli {

namespace {

bool parseHex(const std::string& text, uint32_t& value) {
  std::string digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits = digits.substr(2);
  if (digits.empty() || digits.size() > 8) return false;
  for (char c : digits) {
    if (!hexEntryAccepts(static_cast<unsigned char>(c)) || c == 8 || c == 12) return false;
  }
  value = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
  return true;
}

bool parseHexBytes(const std::string& text, std::vector<uint8_t>& bytes) {
  std::string digits;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == ':') continue;
    digits += c;
  }
  if (digits.empty() || digits.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    uint32_t v = 0;
    if (!parseHex(digits.substr(i, 2), v)) return false;
    bytes.push_back(static_cast<uint8_t>(v));
  }
  return true;
}

// A byte count: decimal digits, or hexadecimal after 0x.
bool parseCount(const std::string& text, uint32_t& value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return parseHex(text, value);
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned long long n = std::stoull(text);
  if (n > UINT32_MAX) return false;
  value = static_cast<uint32_t>(n);
  return true;
}

// What is wrong with --serial-at and its companions on this command line;
// empty when nothing is.
std::string serialOptionsProblem(const Options& o, bool programs) {
  const SerialOptions& s = o.serial;
  if (!s.at) {
    if (s.bytesGiven || s.fromGiven || (s.poolGiven && o.command != "log-serials"))
      return "--serial-bytes, --serial-from and --serial-pool go with --serial-at";
    return {};
  }
  if (!programs || o.optionsOnly) return "--serial-at applies to program and gang program only";
  if (o.log.empty())
    return "--serial-at needs --log with a SQLite database or a PostgreSQL server: they hand out the numbers";
  std::string problem;
  const StoreKind kind = parseStoreAddress(o.log, problem)->kind;
  if (!isDatabase(kind))
    return "--serial-at is refused with --log " + o.log + ": " + (kind == StoreKind::kCsv ? "a CSV" : "a JSON-lines") +
           " log has no shared counter, so two runs could hand out one number twice; --log a SQLite database "
           "(.db) or a PostgreSQL server hands them out";
  if (s.from > highestSerial(s.bytes))
    return "--serial-from " + serialDigits(s.from, s.bytes) + " does not fit in " + std::to_string(s.bytes) +
           (s.bytes == 1 ? " byte" : " bytes");
  return {};
}

}  // namespace

bool isProjectPath(const std::string& path) {
  const auto dot = path.find_last_of('.');
  return dot != std::string::npos && equalsIgnoreCase(std::string_view(path).substr(dot), ".kpj");
}

const char* usageText() {
  return "usage: loomwrite-cli [--adapter ADAPTER] [--json] [--yes] [--progress] [--language en|zh] COMMAND ...\n"
         "  parts                                   list the offered series and parts\n"
         "  adapters                                list the adapters: place, mode, serial number,\n"
         "                                          firmware and storage\n"
         "  load FILE [--at HEX] [--merge] [FILE [--at HEX] [--merge]]... --part NAME\n"
         "       [--out OUT [--format bin|hex|srec]]\n"
         "                                          load files into one Code buffer; write it as raw\n"
         "                                          binary, Intel HEX or S-record (by OUT's extension\n"
         "                                          .hex, .srec/.s19/.s28/.s37/.mot, else binary; HEX\n"
         "                                          and S-record addresses from 0x08000000)\n"
         "  kpj save OUT.kpj --part NAME IMAGE [--at HEX] [--merge]... [OPTIONS]\n"
         "                                          save a project file\n"
         "                  [--to T] [--from F] [--part-no P] [--form-text PATH|-] [--form-bmp PATH]\n"
         "                  [--form-pdf PATH]       ... and its request form, as after the KPJ Dialog's OK\n"
         "  kpj show FILE.kpj                       show every field of a project file\n"
         "  kpj form FILE.kpj [--to T] [--from F] [--part-no P] [--part NAME]\n"
         "           [--text PATH|-] [--bmp PATH] [--pdf PATH]\n"
         "                                          a project's request form as text (default: on\n"
         "                                          standard output), 1-bit BMP picture or PDF page;\n"
         "                                          --part chooses layout and MCU Body (default: the\n"
         "                                          project's own part)\n"
         "  program FILE... --part NAME [OPTIONS]   Update Target with the loaded files\n"
         "          [--serial-at HEX [--serial-bytes N] [--serial-from HEX] [--serial-pool NAME]]\n"
         "                                          ... with a serial number from the log's pool\n"
         "  program-adapter FILE... --part NAME [OPTIONS] [--max-counter N] [--serial-string S]\n"
         "          [--serial-number HEX] [--auto-increment] [--serial-address HEX]\n"
         "                                          Update Programmer: store the job in the adapter\n"
         "                                          (any serial option enables the serial number)\n"
         "  read OUT --part NAME [--size N] [--format bin|hex|srec]\n"
         "                                          read the target's flash (the part's whole flash, or\n"
         "                                          its first N bytes) into OUT: raw binary, Intel HEX\n"
         "                                          or S-record by OUT's extension, as load --out\n"
         "  verify FILE... --part NAME              compare the loaded files with the target's flash,\n"
         "                                          writing nothing; exit 1 on any difference\n"
         "  erase --part NAME                       erase the target (flash, option bytes, protection)\n"
         "  blank-check --part NAME                 check that every byte of the target's flash is\n"
         "                                          erased; exit 1 naming the first that is not\n"
         "  emulator start DIR [--times N]          press the emulated adapter's start button\n"
         "  program --options-only --part NAME [OPTIONS]\n"
         "                                          erase the target and write only the option bytes\n"
         "  firmware [--force]                      check the adapter's firmware, update it when needed\n"
         "                                          (--force: update it even when it matches)\n"
         "  gang program FILE... --part NAME [OPTIONS] [--serial-at HEX ...] [--adapters all|PLACE,...]\n"
         "  gang program-adapter FILE... --part NAME [OPTIONS] [off-line settings] [--adapters ...]\n"
         "  gang verify FILE... --part NAME [--adapters ...]\n"
         "  gang erase|blank-check --part NAME [--adapters ...]\n"
         "                                          the same job on several adapters at once, one\n"
         "                                          process each; exit 0 only when all passed\n"
         "  log find --log STORE (--serial HEX | --serial-string S | --image SHA) [--since DATE]\n"
         "           [--command NAME]               the rows of the boards with that serial number,\n"
         "                                          serial string or image (SHA-256 or its start)\n"
         "  log summary --log STORE [--since DATE] [--by station|part|image|adapter|day]\n"
         "              [--command NAME]            passed, failed and yield, in all or per group\n"
         "  log export --log STORE [--csv|--json] [--since DATE] [--command NAME]\n"
         "                                          every row as CSV (the default) or JSON lines\n"
         "  log serials --log STORE [--serial-pool NAME]\n"
         "                                          the numbers a serial pool handed out, used or spoiled\n"
         "  log flush [--log STORE]                 send the rows waiting in the journal (only\n"
         "                                          those of STORE)\n"
         "  check-update [--url BASE]               compare the own version with the published one\n"
         "                                          (BASE: http(s)://host, default $LOOMWRITE_UPDATE_URL,\n"
         "                                          else built in; opens no browser, changes no setting)\n"
         "FILE: raw binary, Intel HEX (.hex), S-record (.srec, .s19, .s28, .s37, .mot), ELF\n"
         "(.elf, .axf) or project (.kpj; it brings its own part, so --part may be left out\n"
         "when every file is one). --at HEX after a file places it at that IAP address\n"
         "(default: AP, offset 0); --merge after a file keeps the buffer loaded so far\n"
         "(\"Clear Buffer\" unchecked).\n"
         "OPTIONS (option bits as the check boxes show them, see 'parts'):\n"
         "  --option NAME        check a box (e.g. --option SWDP); --no-option NAME unchecks it\n"
         "  --iwdgcnt HEX        the IWDG counter\n"
         "  --option-bytes HEX   the raw option bytes, e.g. FEFFFFFFFFFFFFFF\n"
         "ADAPTER: usb (every USB adapter; the first in port order is used), usb:PORT (the\n"
         "one in that USB port, e.g. usb:1-2.3), usb:/dev/hidrawN, emulator:DIR or\n"
         "emulator:DIR1,DIR2,... (emulated adapters). Default $LOOMWRITE_ADAPTER, else usb.\n"
         "PLACE: a place 'adapters' lists (usb:1-2.3, emulator:DIR), or a bare port or node.\n"
         "--log STORE (program, program-adapter, read, verify, erase, blank-check, gang, log):\n"
         "  the production log, one row per target, pass or fail: FILE.csv (CSV), FILE.db,\n"
         "  FILE.sqlite or sqlite:PATH (SQLite), postgresql://USER@HOST/DATABASE or postgresql:\n"
         "  alone (PostgreSQL, with the PG* environment), any other FILE JSON lines. A row\n"
         "  that cannot reach its store waits in the journal ($XDG_STATE_HOME/loomwrite) for\n"
         "  the next run or 'log flush'. --station NAME (default: the host name) and\n"
         "  --operator NAME go into each row.\n"
         "--serial-at HEX (program, gang program; --log a SQLite or PostgreSQL store): each\n"
         "  board gets the next number of the pool (--serial-pool NAME, default \"default\";\n"
         "  not below --serial-from HEX, default 1), written at that flash address in\n"
         "  --serial-bytes N bytes (1..8, default 4), least significant first. A board that\n"
         "  fails keeps its number as spoiled; no number is handed out twice.\n"
         "DATE (--since): 2026-12-07 (from the day's start, UTC), 2026-12-07T15:04:05Z or today.\n"
         "--yes answers OK/Yes to the truncation warning, the damaged-HEX and damaged\n"
         "S-record warnings, the old-project question and the firmware-update prompt;\n"
         "without it they are answered Cancel/No.\n"
         "--json prints one result object on standard output. Message boxes appear as\n"
         "\"CAPTION: TEXT\" lines on standard error, with a progress bar on a terminal.\n"
         "--json --progress: before the result object, one JSON line per step of a command\n"
         "  that uses an adapter: {\"event\":\"progress\",\"phase\":P,\"done\":BYTES,\"total\":BYTES},\n"
         "  P one of connect, check, erase, program, verify, options, read, firmware.\n"
         "--language en|zh: those lines, the JSON texts and the parts' option descriptions\n"
         "  in English (default) or Simplified Chinese; default $LOOMWRITE_LANGUAGE, else en.\n"
         "Exit status: 0 success, 1 the operation failed, 2 usage error.\n";
}

std::string languageFromEnvironment(Options& options, const char* value) {
  if (options.languageGiven || !value || !*value) return {};
  const auto index = languageIndexForCode(value);
  if (!index) return "LOOMWRITE_LANGUAGE needs " + languageCodeList() + ", not '" + value + "'";
  options.languageIndex = *index;
  return {};
}

ParseResult parseArguments(const std::vector<std::string>& args) {
  ParseResult result;
  Options o;
  std::vector<std::string> words;
  bool outGiven = false;
  bool timesGiven = false;
  bool formOutputGiven = false;
  bool adaptersGiven = false;
  std::vector<bool> gangOnly(args.size(), false);  // left out of the workers' arguments
  auto fail = [&](const std::string& message) {
    result.error = message;
    return result;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      result.help = true;
      return result;
    } else if (a == "--json") {
      o.json = true;
      gangOnly[i] = true;
    } else if (a == "--yes" || a == "-y") {
      o.yes = true;
    } else if (a == "--language") {
      if (!value(v)) return fail("--language needs " + languageCodeList());
      const auto index = languageIndexForCode(v);
      if (!index) return fail("--language needs " + languageCodeList() + ", not '" + v + "'");
      o.languageIndex = *index;
      o.languageGiven = true;
    } else if (a == "--force") {
      o.force = true;
    } else if (a == "--progress") {
      o.progress = true;
      gangOnly[i] = true;
    } else if (a == "--options-only") {
      o.optionsOnly = true;
    } else if (a == "--adapter") {
      gangOnly[i] = true;
      if (i + 1 < args.size()) gangOnly[i + 1] = true;
      if (!value(o.adapter)) return fail("--adapter needs usb, usb:PORT, usb:/dev/hidrawN or emulator:DIR");
      std::string problem;
      if (o.adapter.empty() || !hid::parseAdapterChoice(o.adapter, problem)) {
        if (o.adapter.rfind("emulator:", 0) == 0 && o.adapter.size() == std::string_view("emulator:").size())
          return fail("--adapter emulator:DIR needs the emulator's state directory");
        return fail("--adapter '" + o.adapter + "': " + (problem.empty() ? "it names no adapter" : problem));
      }
    } else if (a == "--adapters") {
      gangOnly[i] = true;
      if (i + 1 < args.size()) gangOnly[i + 1] = true;
      if (!value(o.gangAdapters) || o.gangAdapters.empty()) return fail("--adapters needs all or PLACE,...");
      adaptersGiven = true;
    } else if (a == "--url") {
      if (!value(o.updateUrl) || o.updateUrl.empty()) return fail("--url needs a base URL (http://host)");
    } else if (a == "--part") {
      if (!value(o.part)) return fail("--part needs a part name");
    } else if (a == "--out") {
      if (!value(o.output) || o.output.empty()) return fail("--out needs a file name");
      outGiven = true;
    } else if (a == "--size") {
      uint32_t n = 0;
      if (!value(v) || !parseCount(v, n) || n == 0) return fail("--size needs a byte count above 0 (decimal, or hex with 0x)");
      o.size = n;
    } else if (a == "--format") {
      if (!value(v) || !(o.outputFormat = imageFileFormatNamed(v))) return fail("--format needs bin, hex or srec");
    } else if (a == "--at") {
      if (o.inputs.empty()) return fail("--at must follow the file it applies to");
      uint32_t at = 0;
      if (!value(v) || !parseHex(v, at)) return fail("--at needs a hexadecimal address");
      o.inputs.back().at = at;
    } else if (a == "--merge") {
      if (o.inputs.empty()) return fail("--merge must follow the file it applies to");
      o.inputs.back().merge = true;
    } else if (a == "--option" || a == "--no-option") {
      if (!value(v) || v.empty()) return fail(a + " needs an option name");
      (a == "--option" ? o.options.check : o.options.uncheck).push_back(v);
    } else if (a == "--iwdgcnt") {
      uint32_t count = 0;
      if (!value(v) || !parseHex(v, count) || count > 0xFFFFF) return fail("--iwdgcnt needs up to five hexadecimal digits");
      o.options.iwdgCounter = count;
    } else if (a == "--option-bytes") {
      std::vector<uint8_t> bytes;
      if (!value(v) || !parseHexBytes(v, bytes)) return fail("--option-bytes needs hexadecimal byte pairs");
      o.options.rawBytes = bytes;
    } else if (a == "--log") {
      if (!value(o.log) || o.log.empty()) return fail("--log needs a file name, a database or a server");
      std::string problem;
      if (!parseStoreAddress(o.log, problem)) return fail(problem);
    } else if (a == "--station" || a == "--operator") {
      if (!value(v) || v.empty()) return fail(a + " needs a name");
      (a == "--station" ? o.station : o.operatorName) = v;
    } else if (a == "--serial-at") {
      uint32_t at = 0;
      if (!value(v) || !parseHex(v, at)) return fail("--serial-at needs a hexadecimal flash address");
      o.serial.at = at;
    } else if (a == "--serial-bytes") {
      if (!value(v) || v.size() != 1 || v[0] < '1' || v[0] > '8') return fail("--serial-bytes needs a number 1..8");
      o.serial.bytes = static_cast<unsigned>(v[0] - '0');
      o.serial.bytesGiven = true;
    } else if (a == "--serial-from") {
      const std::optional<uint64_t> from = value(v) ? serialValue(v) : std::nullopt;
      if (!from) return fail("--serial-from needs up to sixteen hexadecimal digits");
      o.serial.from = *from;
      o.serial.fromGiven = true;
    } else if (a == "--serial-pool") {
      if (!value(o.serial.pool) || o.serial.pool.empty()) return fail("--serial-pool needs a name");
      o.serial.poolGiven = true;
    } else if (a == "--serial") {
      if (!value(v) || !(o.query.serial = serialValue(v))) return fail("--serial needs up to sixteen hexadecimal digits");
    } else if (a == "--image") {
      if (!value(v) || !(o.query.image = imagePrefix(v)))
        return fail("--image needs a SHA-256 or at least its first 4 hexadecimal digits");
    } else if (a == "--since") {
      const std::optional<std::string> since = value(v) ? sinceTime(v, std::time(nullptr)) : std::nullopt;
      if (!since) return fail("--since needs a day (2026-12-07), a UTC time (2026-12-07T15:04:05Z) or today");
      o.query.since = *since;
    } else if (a == "--by") {
      if (!value(o.query.by) || !summaryKeyNamed(o.query.by)) return fail("--by needs station, part, image, adapter or day");
    } else if (a == "--csv") {
      o.query.csv = true;
    } else if (a == "--command") {
      if (!value(o.query.command) || o.query.command.empty()) return fail("--command needs a command name (program, verify, ...)");
    } else if (a == "--max-counter") {
      // Digits only; the dialog itself clamps what is too large.
      if (!value(v) || v.empty() || v.find_first_not_of("0123456789") != std::string::npos)
        return fail("--max-counter needs a whole number 0..65530");
      o.offline.maxCounter = v;
    } else if (a == "--serial-string") {
      if (!value(v)) return fail("--serial-string needs a text");
      o.offline.serialString = v;
    } else if (a == "--serial-number") {
      uint32_t n = 0;
      if (!value(v) || !parseHex(v, n)) return fail("--serial-number needs up to eight hexadecimal digits");
      o.offline.serialNumber = n;
    } else if (a == "--auto-increment") {
      o.offline.autoIncrement = true;
    } else if (a == "--serial-address") {
      uint32_t at = 0;
      if (!value(v) || !parseHex(v, at)) return fail("--serial-address needs up to eight hexadecimal digits");
      o.offline.serialAddress = at;
    } else if (a == "--times") {
      if (!value(v) || v.empty() || v.size() > 5 || v.find_first_not_of("0123456789") != std::string::npos ||
          std::stoul(v) == 0)
        return fail("--times needs a number 1..99999");
      o.times = static_cast<uint32_t>(std::stoul(v));
      timesGiven = true;
    } else if (a == "--to" || a == "--from" || a == "--part-no") {
      if (!value(v)) return fail(a + " needs a text (it may be \"\")");
      (a == "--to" ? o.to : a == "--from" ? o.from : o.partNo) = v;
    } else if (a == "--text" || a == "--bmp" || a == "--pdf" || a == "--form-text" || a == "--form-bmp" ||
               a == "--form-pdf") {
      if (!value(v) || v.empty()) return fail(a + " needs a file name");
      const std::string kind = a.substr(a.rfind('-') + 1);
      (kind == "text" ? o.form.text : kind == "bmp" ? o.form.bmp : o.form.pdf) = v;
      // --text... belong to kpj form, --form-text... to kpj save.
      if (a.rfind("--form-", 0) == 0) o.formOptionsGiven = true;
      else formOutputGiven = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return fail("unknown option '" + a + "'");
    } else if (words.empty() ||
               ((words[0] == "kpj" || words[0] == "emulator" || words[0] == "gang" || words[0] == "log") &&
                words.size() == 1)) {
      if (words.empty() && a == "gang") gangOnly[i] = true;
      words.push_back(a);
    } else {
      o.inputs.push_back({a, std::nullopt, false});
    }
  }
  if (words.empty()) return fail("no command given");
  const std::string& c = words[0];
  if (c == "kpj") {
    if (words.size() < 2) return fail("kpj needs save, show or form");
    if (words[1] == "save") {
      o.command = "kpj-save";
      if (o.inputs.size() < 2) return fail("kpj save needs OUT.kpj and an IMAGE");
      if (outGiven) return fail("kpj save writes OUT.kpj; --out applies to load only");
      if (o.inputs[0].at || o.inputs[0].merge) return fail("--at and --merge apply to the image, not OUT.kpj");
      o.output = o.inputs[0].path;
      o.inputs.erase(o.inputs.begin());
      // Any other name would be read back as a raw image, record and all.
      if (!isProjectPath(o.output)) return fail("kpj save writes OUT.kpj, not '" + o.output + "'");
    } else if (words[1] == "show") {
      o.command = "kpj-show";
      if (o.inputs.size() != 1) return fail("kpj show needs exactly one FILE.kpj");
      if (o.inputs[0].at || o.inputs[0].merge) return fail("--at and --merge apply to loaded files, not kpj show");
    } else if (words[1] == "form") {
      o.command = "kpj-form";
      if (o.inputs.size() != 1) return fail("kpj form needs exactly one FILE.kpj");
      if (o.inputs[0].at || o.inputs[0].merge) return fail("--at and --merge apply to loaded files, not kpj form");
      if (o.formOptionsGiven) return fail("kpj form writes with --text, --bmp and --pdf");
      if (o.json && o.form.text == "-") return fail("--text - and --json both write standard output");
    } else {
      return fail("kpj needs save, show or form, not '" + words[1] + "'");
    }
  } else if (c == "emulator") {
    if (words.size() < 2 || words[1] != "start") return fail("emulator needs start DIR");
    o.command = "emulator-start";
    if (o.inputs.size() != 1 || o.inputs[0].at || o.inputs[0].merge) return fail("emulator start needs exactly one DIR");
    o.emulatorDir = o.inputs[0].path;
    o.inputs.clear();
  } else if (c == "gang") {
    const std::string job = words.size() < 2 ? std::string() : words[1];
    if (job != "program" && job != "program-adapter" && job != "verify" && job != "erase" && job != "blank-check")
      return fail("gang needs program, program-adapter, verify, erase or blank-check");
    o.command = "gang-" + job;
    const bool takesFiles = job != "erase" && job != "blank-check";
    if (!takesFiles && !o.inputs.empty()) return fail("gang " + job + " takes no file");
    if (takesFiles && o.inputs.empty() && !(job == "program" && o.optionsOnly)) return fail("gang " + job + " needs at least one FILE");
    if (o.optionsOnly && !o.inputs.empty())
      return fail("program --options-only takes no FILE: it writes the option bytes alone");
    for (std::size_t i = 0; i < args.size(); ++i)
      if (!gangOnly[i]) o.workerArgs.push_back(args[i]);
  } else if (c == "log") {
    o.query.action = words.size() < 2 ? std::string() : words[1];
    o.command = "log-" + o.query.action;
    const std::string& action = o.query.action;
    if (action != "find" && action != "summary" && action != "export" && action != "serials" && action != "flush")
      return fail("log needs find, summary, export, serials or flush");
    if (!o.inputs.empty()) return fail("log " + action + " takes no file");
    if (o.log.empty() && action != "flush") return fail("log " + action + " needs --log STORE");
    const bool findsBy = o.query.serial || o.query.image || o.offline.serialString;
    if (action == "find" && !findsBy) return fail("log find needs --serial HEX, --serial-string S or --image SHA");
    if (action != "find" && findsBy) return fail("--serial, --serial-string and --image apply to log find only");
    if (action != "summary" && !o.query.by.empty()) return fail("--by applies to log summary only");
    if (action != "export" && o.query.csv) return fail("--csv applies to log export only");
    if (o.query.csv && o.json) return fail("log export writes --csv or --json, not both");
    if ((action == "serials" || action == "flush") && (!o.query.since.empty() || !o.query.command.empty()))
      return fail("--since and --command apply to log find, summary and export only");
    if (action != "serials" && o.serial.poolGiven) return fail("--serial-pool applies to program, gang program and log serials only");
    if (action == "serials") {
      std::string problem;
      if (!isDatabase(parseStoreAddress(o.log, problem)->kind))
        return fail("log serials needs a SQLite or PostgreSQL store: a CSV or JSON-lines log hands out no serial numbers");
    }
    o.query.serialString = o.offline.serialString;
    o.offline.serialString.reset();
  } else if (c == "read") {
    o.command = c;
    if (o.inputs.size() != 1 || o.inputs[0].at || o.inputs[0].merge) return fail("read needs exactly one OUT file");
    if (outGiven) return fail("read writes OUT; --out applies to load only");
    o.output = o.inputs[0].path;
    o.inputs.clear();
    if (!o.outputFormat && !(o.outputFormat = imageFileFormatFor(o.output)))
      return fail("read '" + o.output + "': ELF and project files are not written; name it .bin, .hex or .srec, or pass --format");
  } else if (c == "parts" || c == "load" || c == "program" || c == "program-adapter" || c == "firmware" ||
             c == "check-update" || c == "adapters" || c == "verify" || c == "erase" || c == "blank-check") {
    o.command = c;
    if ((c == "parts" || c == "firmware" || c == "check-update" || c == "adapters" || c == "erase" ||
         c == "blank-check") &&
        !o.inputs.empty())
      return fail(c + " takes no file");
    if (c == "program" && o.optionsOnly && !o.inputs.empty())
      return fail("program --options-only takes no FILE: it writes the option bytes alone");
    if ((c == "load" || c == "program" || c == "program-adapter" || c == "verify") && o.inputs.empty() && !o.optionsOnly)
      return fail(c + (c == "program" ? " needs at least one FILE (or --options-only)" : " needs at least one FILE"));
  } else {
    return fail("unknown command '" + c + "'");
  }
  const std::string name = o.command == "kpj-save"               ? "kpj save"
                           : o.command == "kpj-show"             ? "kpj show"
                           : o.command == "kpj-form"             ? "kpj form"
                           : o.command == "gang-program"         ? "gang program"
                           : o.command.rfind("gang-", 0) == 0    ? "gang " + o.command.substr(5)
                           : o.command.rfind("log-", 0) == 0     ? "log " + o.command.substr(4)
                                                                 : o.command;
  const bool gang = o.command.rfind("gang-", 0) == 0;
  // The commands that work on an adapter's target, alone or in a gang.
  const std::string job = gang ? o.command.substr(5) : o.command;
  const bool onTarget = job == "read" || job == "verify" || job == "erase" || job == "blank-check";
  const bool programs = o.command == "program" || o.command == "gang-program";
  const bool storesJob = o.command == "program-adapter" || o.command == "gang-program-adapter";
  if (formOutputGiven && o.command != "kpj-form") return fail("--text, --bmp and --pdf apply to kpj form only");
  if (o.formOptionsGiven && o.command != "kpj-save") return fail("--form-text, --form-bmp and --form-pdf apply to kpj save only");
  if (o.addressingGiven() && o.command != "kpj-save" && o.command != "kpj-form")
    return fail("--to, --from and --part-no apply to kpj save and kpj form only");
  if (o.command == "kpj-save" && o.json && o.form.text == "-") return fail("--form-text - and --json both write standard output");
  const bool loads = o.command == "load" || programs || storesJob || o.command == "kpj-save" || job == "verify";
  bool onlyProjects = !o.inputs.empty();
  for (const InputFile& f : o.inputs) {
    onlyProjects = onlyProjects && isProjectPath(f.path);
    if (loads && isProjectPath(f.path) && (f.at || f.merge))
      return fail("--at and --merge do not apply to project files (" + f.path + "): a project replaces the buffer");
  }
  if ((loads || onTarget) && o.part.empty() && !onlyProjects) return fail(name + " needs --part NAME");
  if (!loads && !onTarget && !o.part.empty() && o.command != "kpj-form") return fail(name + " takes no --part");
  if (o.options.any() && !programs && !storesJob && o.command != "kpj-save")
    return fail("option settings apply to program, program-adapter and kpj save only");
  if (o.offline.any() && !storesJob) return fail("--max-counter and the serial options apply to program-adapter only");
  if (adaptersGiven && !gang) return fail("--adapters applies to gang only");
  const bool logs = programs || storesJob || onTarget;
  const bool readsLog = o.command.rfind("log-", 0) == 0;
  if (!o.log.empty() && !logs && !readsLog)
    return fail("--log applies to program, program-adapter, read, verify, erase, blank-check, gang and log only");
  if ((!o.station.empty() || !o.operatorName.empty()) && (!logs || o.log.empty()))
    return fail("--station and --operator go into the production log: they need --log");
  if (const std::string wrong = serialOptionsProblem(o, programs); !wrong.empty()) return fail(wrong);
  if (!readsLog && (o.query.serial || o.query.image || !o.query.since.empty() || !o.query.by.empty() ||
                             o.query.csv || !o.query.command.empty()))
    return fail("--serial, --image, --since, --by, --csv and --command apply to log only");
  if (timesGiven && o.command != "emulator-start") return fail("--times applies to emulator start only");
  if (outGiven && o.command != "load") return fail("--out applies to load only");
  if (o.outputFormat && !outGiven && o.command != "read") return fail("--format applies to load --out and read only");
  if (o.size && o.command != "read") return fail("--size applies to read only");
  if (outGiven && !o.outputFormat && !(o.outputFormat = imageFileFormatFor(o.output)))
    return fail("--out '" + o.output + "': ELF and project files are not written; name it .bin, .hex or .srec, or pass --format");
  if (o.force && o.command != "firmware") return fail("--force applies to firmware only");
  if (!o.updateUrl.empty() && o.command != "check-update") return fail("--url applies to check-update only");
  if (o.optionsOnly && !programs) return fail("--options-only applies to program only");
  result.options = o;
  return result;
}

}  // namespace lw::cli
