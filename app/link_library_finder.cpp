#include "app/link_library_finder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/codes.h"
#include "core/text.h"
#include "core/abi/version_block.h"

namespace fs = std::filesystem;

namespace lw {

const char* linkLibraryFileName() {
#ifdef _WIN32
  return "V0Izaz_Tether.dll";
#else
  return "libV0Izaz_Tether.so";
#endif
}

const char* hexViewLibraryFileName() {
#ifdef _WIN32
  return "HexEdit.dll";
#else
  return "libHexEdit.so";
#endif
}

uint32_t checkLinkLibraryVersion(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const uint32_t e = errorFromErrno(errno);
    return e == err::kSuccess ? err::kFileNotFound : e;
  }
  std::vector<char> bytes;
  try {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::bad_alloc&) {
    return kLinkVersionTooOld;
  }
  if (in.bad()) return err::kReadFault;

  std::string signature(kVersionSignatureHead);
  signature += kVersionSignatureTail;
  const auto it = std::search(bytes.begin(), bytes.end(), signature.begin(), signature.end());
  if (it == bytes.end()) return err::kInvalidData;
  const std::size_t pos = static_cast<std::size_t>(it - bytes.begin());
  if (pos + sizeof(ModuleVersionBlock) > bytes.size()) return err::kInvalidData;
  ModuleVersionBlock block;
  std::memcpy(&block, bytes.data() + pos, sizeof block);
  const uint32_t version = (static_cast<uint32_t>(block.major) << 16) | block.minor;
  return version < kMinimumLinkVersion ? kLinkVersionTooOld : err::kSuccess;
}

namespace {

using DirectoryObserver = std::function<void(const std::string&)>;

std::optional<std::string> searchTree(const fs::path& dir, const std::string& fileName, const std::string& excluded,
                                      const DirectoryObserver& onDirectory) {
  if (onDirectory) onDirectory(dir.string());
  std::error_code ec;
  fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
  if (ec) return std::nullopt;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return std::nullopt;
    const fs::directory_entry& entry = *it;
    std::error_code typeError;
    // Directory links are not followed, so a loop of links cannot trap the search.
    if (entry.is_symlink(typeError) && entry.is_directory(typeError)) continue;
    if (entry.is_directory(typeError)) {
      if (equalsIgnoreCase(entry.path().string(), excluded)) continue;
      if (auto found = searchTree(entry.path(), fileName, excluded, onDirectory)) return found;
    } else if (equalsIgnoreCase(entry.path().filename().string(), fileName)) {
      return entry.path().string();
    }
  }
  return std::nullopt;
}

}  // namespace

bool isSystemTree(const std::string& dir) {
  std::string text = fs::path(dir).lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const fs::path p(text);
  // The root and every top-level directory (/usr, /opt, /home, ...).
  if (p == p.root_path() || p.parent_path() == p.root_path()) return true;
  static const char* const kSystemDirs[] = {"/usr/lib",   "/usr/lib64",     "/usr/lib32",     "/usr/libexec",
                                            "/usr/bin",   "/usr/sbin",      "/usr/share",     "/usr/local",
                                            "/usr/local/lib", "/usr/local/bin", "/usr/local/share"};
  for (const char* system : kSystemDirs) {
    if (text == system) return true;
  }
  return false;
}

std::optional<std::string> locateLinkLibrary(const std::string& startDir, const std::string& fileName,
                                             const DirectoryObserver& onDirectory, const std::string& ceiling) {
  std::error_code ec;
  fs::path root = fs::absolute(startDir, ec).lexically_normal();
  if (ec || !fs::is_directory(root, ec)) return std::nullopt;
  if (root.has_filename() == false && root != root.root_path()) root = root.parent_path();
  std::string excluded;
  while (root != root.root_path()) {
    if (auto found = searchTree(root, fileName, excluded, onDirectory)) return found;
    if (!ceiling.empty() && equalsIgnoreCase(root.string(), fs::path(ceiling).lexically_normal().string())) break;
    excluded = root.string();
    root = root.parent_path();
    // A program installed under /usr or /opt must not walk the system's trees.
    if (isSystemTree(root.string())) break;
  }
  return std::nullopt;
}

}  // namespace lw
