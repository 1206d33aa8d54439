#pragma once
// Finding the part that a name given on the command line means, in the
// entries of the part list.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lw {

// First, the first entry whose text begins with the name (ignoring case),
// searching from the second entry on and wrapping round to the first.
// Then, for entries written "base(alt)suffix", the name is compared
// (ignoring case) with "basesuffix" and with base whose last len(alt)
// characters are replaced by alt, followed by suffix. An entry with "("
// but no ")" after it is reported through onUnbalanced and skipped.
std::optional<int> findPartByName(const std::vector<std::string>& entries, std::string_view name,
                                  const std::function<void(const std::string& entry)>& onUnbalanced);

}  // namespace lw
