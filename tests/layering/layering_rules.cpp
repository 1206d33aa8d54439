#include "layering_rules.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>

namespace lw::layering {

namespace fs = std::filesystem;

namespace {

bool startsWithAny(const std::string& text, const std::vector<std::string>& prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const std::string& p) { return text.compare(0, p.size(), p) == 0; });
}

// Qt is the platform's toolkit: only its implementations, the hex-view
// module, the program's entry point and the build-time artwork tool use it.
const std::vector<std::string> kQtAllowed = {"platform/qt/", "hexedit/", "app/main.cpp", "resources/tools/",
                                             "tests/"};

// The system's logic reaches its platform only through core/ports, and never
// the composition roots that build it.
const std::vector<std::string> kLogicFolders = {"core/",  "resources/", "ui/",    "image/",
                                                "link/",  "report/",    "update/", "production/"};
const std::vector<std::string> kLogicForbidden = {"platform/", "app/", "cli/", "hexedit/", "tether/", "emulator/"};

// The Link library module and the emulator stand on the device's side of the
// binary interface: they share its layout, the small core helpers, the HID
// layer and the part data the emulated targets are sized by, nothing else.
const std::vector<std::string> kDeviceSide = {"tether/", "emulator/"};
const std::vector<std::string> kDeviceSideAllowed = {
    "core/abi/",          "core/text.h",  "core/codes.h",  "core/byte_sum.h",  "core/offline_settings.h",
    "core/regular_file.h",
    "platform/hid/",      "tether/",      "emulator/",     "resources/embedded_resources.h",
    "resources/keyed_table.h", "resources/part_database.h"};

bool isQtHeader(const std::string& include) {
  return include.size() > 1 && include[0] == 'Q' && (std::isupper(static_cast<unsigned char>(include[1])) ||
                                                     include.compare(0, 2, "Qt") == 0);
}

void checkInclude(const std::string& file, int line, char quote, const std::string& include,
                  std::vector<Violation>& out) {
  if (isQtHeader(include) && !startsWithAny(file, kQtAllowed)) {
    out.push_back({file, line, include, "Qt is used only in platform/qt, hexedit/, app/main.cpp and resources/tools"});
  }
  if (quote != '"') return;
  if (startsWithAny(file, kLogicFolders) && startsWithAny(include, kLogicForbidden)) {
    out.push_back({file, line, include,
                   "logic folders reach the platform only through core/ports and never include app/, cli/, "
                   "platform/ implementations or the run-time modules"});
  }
  if (startsWithAny(file, kDeviceSide) && !startsWithAny(include, kDeviceSideAllowed)) {
    out.push_back({file, line, include,
                   "tether/ and emulator/ include only core/abi, the core helpers and records, platform/hid, each other and "
                   "the part data, nothing of the program's logic"});
  }
}

// start-up and the composition root (app/) link the logic, never the other way.
void checkBuildFile(const fs::path& path, const std::string& file, std::vector<Violation>& out) {
  if (!startsWithAny(file, kLogicFolders)) return;
  static const std::regex linksApp(R"(\blw_app\b)");
  std::ifstream in(path);
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (std::regex_search(text, linksApp)) {
      out.push_back({file, line, "lw_app", "no logic library links lw_app: start-up builds the logic, not the reverse"});
    }
  }
}

bool skippedDirectory(const fs::path& name) {
  const std::string n = name.string();
  return n == ".git" || n.rfind("build", 0) == 0;
}

}  // namespace

std::vector<Violation> checkTree(const fs::path& root) {
  static const std::regex includeLine(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<Violation> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_directory() && skippedDirectory(it->path().filename())) {
      it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file()) continue;
    const std::string file = fs::relative(it->path(), root).generic_string();
    if (it->path().filename() == "CMakeLists.txt") {
      checkBuildFile(it->path(), file, out);
      continue;
    }
    const std::string ext = it->path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    std::ifstream in(it->path());
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
      ++line;
      std::smatch m;
      if (std::regex_search(text, m, includeLine)) checkInclude(file, line, m[1].str()[0], m[2].str(), out);
    }
  }
  std::sort(out.begin(), out.end(), [](const Violation& a, const Violation& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return out;
}

std::string describe(const Violation& v) {
  const bool buildFile = v.file.size() >= 14 && v.file.compare(v.file.size() - 14, 14, "CMakeLists.txt") == 0;
  return v.file + ":" + std::to_string(v.line) + (buildFile ? ": links " : ": #include ") + v.include + ": " + v.rule;
}

}  // namespace lw::layering
