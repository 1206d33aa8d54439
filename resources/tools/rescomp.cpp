// Build-time resource compiler. Reads a manifest of resources kept as
// editable source files and writes one C++ file that embeds them:
//   DYNAMIC <id> <file.tbl>   keyed table: lines "KEY TEXT", written as
//                             {u16 key LE, UTF-16LE text, u16 0}... 0xFFFF
//   TEXT <id> <file>          text file stored as UTF-16LE after a byte-order
//                             mark, its lines joined by CR LF (no line end
//                             after the last line), zero-terminated
//   RAW <type> <id> <file>    any file stored byte for byte
// In .tbl files, '#' starts a comment line; the key is separated from its
// text by a single space or tab; the text may use \n, \t, \\ and \s (space).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/text.h"

namespace {

struct Resource {
  std::string type;
  uint32_t id = 0;
  std::vector<uint8_t> bytes;
};

bool readFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
}

void appendU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void appendUtf16(std::vector<uint8_t>& out, const std::string& utf8) {
  for (char16_t c : lw::utf8ToUtf16(utf8)) appendU16(out, c);
  appendU16(out, 0);
}

// A text resource as the program reads it: byte-order mark, CR LF between
// lines. The source file keeps plain line ends and ends with one, which is
// not part of the text; every other character (blanks, tabs) is kept as is.
void appendTextResource(std::vector<uint8_t>& out, std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::string joined;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') joined += '\r';
    joined += text[i];
  }
  appendU16(out, 0xFEFF);
  appendUtf16(out, joined);
}

std::string unescape(const std::string& s, bool& ok) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') { out += s[i]; continue; }
    if (++i == s.size()) { ok = false; return out; }
    switch (s[i]) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 's': out += ' '; break;
      case '\\': out += '\\'; break;
      default: ok = false; return out;
    }
  }
  return out;
}

bool compileTable(const std::string& path, std::vector<uint8_t>& out) {
  std::string text;
  if (!readFile(path, text)) {
    std::cerr << path << ": cannot read\n";
    return false;
  }
  std::istringstream lines(text);
  std::string line;
  int lineNo = 0;
  std::vector<long> seen;
  while (std::getline(lines, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::size_t sep = line.find_first_of(" \t");
    const std::string keyText = line.substr(0, sep);
    char* end = nullptr;
    const long key = std::strtol(keyText.c_str(), &end, 0);
    if (keyText.empty() || *end != '\0' || key < 0 || key >= 0xFFFF) {
      std::cerr << path << ":" << lineNo << ": bad key '" << keyText << "'\n";
      return false;
    }
    for (long k : seen) {
      if (k == key) {
        std::cerr << path << ":" << lineNo << ": key " << key << " given twice\n";
        return false;
      }
    }
    seen.push_back(key);
    bool ok = true;
    const std::string value = sep == std::string::npos ? std::string() : unescape(line.substr(sep + 1), ok);
    if (!ok) {
      std::cerr << path << ":" << lineNo << ": bad escape\n";
      return false;
    }
    appendU16(out, static_cast<uint16_t>(key));
    appendUtf16(out, value);
  }
  appendU16(out, 0xFFFF);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: rescomp MANIFEST DATA_DIR OUTPUT.cpp\n";
    return 2;
  }
  const std::string manifestPath = argv[1], dataDir = argv[2], outPath = argv[3];
  std::string manifest;
  if (!readFile(manifestPath, manifest)) {
    std::cerr << manifestPath << ": cannot read\n";
    return 1;
  }
  std::vector<Resource> resources;
  std::istringstream lines(manifest);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string kind, type, idText, file;
    fields >> kind;
    Resource r;
    if (kind == "RAW") {
      fields >> type >> idText >> file;
    } else {
      type = kind;
      fields >> idText >> file;
    }
    r.type = type;
    r.id = static_cast<uint32_t>(std::stoul(idText, nullptr, 0));
    const std::string path = dataDir + "/" + file;
    if (kind == "DYNAMIC") {
      if (!compileTable(path, r.bytes)) return 1;
    } else if (kind == "TEXT") {
      std::string text;
      if (!readFile(path, text)) {
        std::cerr << path << ": cannot read\n";
        return 1;
      }
      appendTextResource(r.bytes, text);
    } else if (kind == "RAW") {
      std::string bytes;
      if (!readFile(path, bytes)) {
        std::cerr << path << ": cannot read\n";
        return 1;
      }
      r.bytes.assign(bytes.begin(), bytes.end());
    } else {
      std::cerr << manifestPath << ": unknown kind '" << kind << "'\n";
      return 1;
    }
    resources.push_back(std::move(r));
  }

  std::ostringstream out;
  out << "// Generated by rescomp from resources/data. Do not edit.\n";
  out << "#include \"resources/embedded_resources.h\"\n\nnamespace lw {\nnamespace {\n";
  for (std::size_t i = 0; i < resources.size(); ++i) {
    out << "alignas(4) const unsigned char kRes" << i << "[] = {";
    for (std::size_t b = 0; b < resources[i].bytes.size(); ++b) {
      if (b % 16 == 0) out << "\n ";
      out << " 0x" << std::hex << static_cast<int>(resources[i].bytes[b]) << std::dec << ",";
    }
    out << "\n  0};\n";
  }
  out << "const EmbeddedResource kAll[] = {\n";
  for (std::size_t i = 0; i < resources.size(); ++i) {
    out << "  {\"" << resources[i].type << "\", " << resources[i].id << "u, kRes" << i << ", "
        << resources[i].bytes.size() << "u},\n";
  }
  out << "};\n}  // namespace\n\nstd::span<const EmbeddedResource> embeddedResourceList() { return kAll; }\n\n}  // namespace lw\n";

  const std::string tmp = outPath + ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary);
    f << out.str();
    if (!f) {
      std::cerr << tmp << ": cannot write\n";
      return 1;
    }
  }
  if (std::rename(tmp.c_str(), outPath.c_str()) != 0) {
    std::cerr << outPath << ": cannot replace\n";
    return 1;
  }
  return 0;
}
