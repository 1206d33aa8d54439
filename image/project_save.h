#pragma once
// "Save *.KPJ": writes the Code buffer and the project record to a project
// file, then asks for the request form's address block in the KPJ Dialog
// and, when it is confirmed, shows the saved project's request form.
#include <string>
#include <vector>

#include "core/ports/file_dialog_port.h"

namespace lw {

class CodeFileHost;

inline constexpr char kEmptyBufferCaption[] = "Loom3 Programmer";
inline constexpr char kProjectExtension[] = "kpj";

struct AppContext;

// The filters of the save dialog, named in the language in use.
std::vector<FileFilter> projectSaveFilters(const AppContext& ctx);

// Runs the save. Returns true when a project file was written (whether or
// not the KPJ Dialog was then confirmed).
bool saveProjectCommand(CodeFileHost& host);

}  // namespace lw
