#include "ui/main/part_name_search.h"

#include "core/text.h"

namespace lw {

namespace {

bool matchesAlternative(const std::string& entry, std::size_t open, std::size_t close, std::string_view name) {
  const std::string base = entry.substr(0, open);
  const std::string alt = entry.substr(open + 1, close - open - 1);
  const std::string suffix = entry.substr(close + 1);
  if (equalsIgnoreCase(base + suffix, name)) return true;
  // An alternative longer than its base replaces the whole base.
  const std::size_t keep = alt.size() >= base.size() ? 0 : base.size() - alt.size();
  return equalsIgnoreCase(base.substr(0, keep) + alt + suffix, name);
}

}  // namespace

std::optional<int> findPartByName(const std::vector<std::string>& entries, std::string_view name,
                                  const std::function<void(const std::string& entry)>& onUnbalanced) {
  const int count = static_cast<int>(entries.size());
  for (int step = 0; step < count; ++step) {
    const int i = (step + 1) % count;
    if (startsWithIgnoreCase(entries[i], name)) return i;
  }
  for (int i = 0; i < count; ++i) {
    const std::string& entry = entries[i];
    const std::size_t open = entry.find('(');
    if (open == std::string::npos) continue;
    const std::size_t close = entry.find(')', open);
    if (close == std::string::npos) {
      if (onUnbalanced) onUnbalanced(entry);
      continue;
    }
    if (matchesAlternative(entry, open, close, name)) return i;
  }
  return std::nullopt;
}

}  // namespace lw
