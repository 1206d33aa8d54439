#include "cli/output_guard.h"

#include <sys/stat.h>

#include <filesystem>

#include "core/regular_file.h"
#include "image/file_replace.h"

namespace lw::cli {

namespace {

// The file a name stands for: device and inode when it exists, else the
// path it would be created at (symbolic links followed as a save follows them).
struct Identity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string path;
  bool operator==(const Identity& o) const {
    return exists == o.exists && (exists ? device == o.device && inode == o.inode : path == o.path);
  }
};

Identity identityOf(const std::string& name) {
  Identity id;
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0) {
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    return id;
  }
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::weakly_canonical(replacementTargetOf(name), ec);
  id.path = ec ? name : target.string();
  return id;
}

std::string sameFile(const NamedFile& output, const NamedFile& other) {
  return output.role + " " + output.path + " and " + other.role + " " + other.path +
         " are the same file; nothing was written";
}

}  // namespace

std::string refuseClashingOutputs(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs) {
  std::vector<std::pair<const NamedFile*, Identity>> seenInputs, seenOutputs;
  for (const NamedFile& in : inputs) {
    const Identity id = identityOf(in.path);
    if (id.exists) seenInputs.emplace_back(&in, id);
  }
  for (const NamedFile& out : outputs) {
    if (out.path.empty() || out.path == "-") continue;
    if (const std::string kind = notRegularReason(out.path); !kind.empty())
      return out.role + " " + out.path + " " + kind + ", not a regular file; nothing was written";
    const Identity id = identityOf(out.path);
    for (const auto& [in, inId] : seenInputs)
      if (inId == id) return sameFile(out, *in);
    for (const auto& [other, otherId] : seenOutputs)
      if (otherId == id) return sameFile(out, *other);
    seenOutputs.emplace_back(&out, id);
  }
  return {};
}

}  // namespace lw::cli
