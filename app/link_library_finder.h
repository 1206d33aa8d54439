#pragma once
// Finding and checking the Link library module before it is loaded.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lw {

// The platform's file names of the two run-time modules.
const char* linkLibraryFileName();
const char* hexViewLibraryFileName();

inline constexpr uint32_t kLinkVersionTooOld = 2007;
inline constexpr uint32_t kMinimumLinkVersion = 0x10003;  // 1.3

// Reads the module's version block without loading it: 0 when acceptable,
// 2007 when older than 1.3, 13 when the file has no version block, or the
// system error of reading the file (2 when it does not exist).
uint32_t checkLinkLibraryVersion(const std::string& path);

// Whether a directory is one of the system's trees that the outward search
// never enters: the root, any top-level directory (/usr, /opt, /home...),
// and the shared folders of /usr and /usr/local (lib, bin, share...).
bool isSystemTree(const std::string& dir);

// Searches the tree below startDir for fileName (ignoring case), then the
// tree below each ancestor in turn, never searching a subtree twice. The
// search stops before a system tree (isSystemTree), so an installed program
// looks only in its own folder.
// onDirectory, when given, is told every directory the search enters; a
// non-empty ceiling is the last directory searched outward (the tests keep
// the search inside their own tree with it).
std::optional<std::string> locateLinkLibrary(const std::string& startDir, const std::string& fileName,
                                             const std::function<void(const std::string&)>& onDirectory = {},
                                             const std::string& ceiling = {});

}  // namespace lw
