#pragma once
// The request form of a saved project: a 65-line fixed-pitch text built
// from the file's project record, the main dialog's request addressing and
// part selection, and the part database.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/request_addressing.h"
#include "resources/resource_source.h"

namespace lw {

struct AppContext;

// The three layouts of the option section, chosen by the selected part.
enum class FormLayout { A, B, C };
std::optional<FormLayout> formLayoutFor(uint32_t selectedPartIndex);

// What the form takes from the main dialog.
struct FormPartEntry {
  std::string text;  // display text of the part list entry
  uint32_t partIndex = 0;
};
struct FormSources {
  RequestAddressing addressing;
  std::vector<FormPartEntry> partList;
  std::optional<uint32_t> selectedPartIndex;  // item value of the selected part entry
  bool firstOptionBoxEnabled = false;         // option box 1026 (layouts A and B)
};

// One build: the form text, or the Language table key of the message to
// show (0: stop without a message).
struct FormBuild {
  std::optional<std::u16string> text;
  uint16_t messageKey = 0;
};

// Builds the form from a project file's bytes. projectPath gives the "KPJ
// File Name" (the text after its last '/' or '\').
FormBuild buildRequestForm(std::span<const uint8_t> file, std::string_view projectPath, const FormSources& sources,
                           const ResourceSource& res);

// Reads the project file and builds its form into formText. On any failure
// the form text stays as it was; a damaged record shows its message (OK
// and Cancel, stop icon, under the application's name); a file that cannot
// be read and a part without a layout stop silently. Returns whether the
// form text was replaced.
bool renderRequestForm(AppContext& ctx, const std::string& projectPath, const FormSources& sources,
                       std::u16string& formText);

}  // namespace lw
