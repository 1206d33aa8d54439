#pragma once
#include "cli/cli_options.h"
#include "resources/resource_source.h"

namespace lw::cli {

// Lists the offered series and their parts. Returns the exit status.
int runParts(const ResourceSource& res, const Options& options);

}  // namespace lw::cli
