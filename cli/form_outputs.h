#pragma once
// Writing a request form where the command line asked: text, 1-bit BMP
// picture, PDF page.
#include <cstdint>
#include <string>

#include "cli/cli_options.h"
#include "core/json_writer.h"
#include "image/request_addressing.h"

namespace lw::cli {

// The address block the options give (missing ones empty).
lw::RequestAddressing addressingOf(const Options& options);

// Writes every output named; each file is written whole or not at all.
// False, after saying which output failed and why, when one could not be
// written (in the Language table of languageIndex). Adds the paths written
// to the JSON object.
bool writeFormOutputs(const FormOutputs& outputs, const std::u16string& form, JsonObject& json,
                      uint16_t languageIndex);

}  // namespace lw::cli
