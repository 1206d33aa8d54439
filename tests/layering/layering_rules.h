#pragma once
// The include rules that keep the program's layers apart, and a checker that
// reads every source file of a tree and reports each include breaking one.
#include <filesystem>
#include <string>
#include <vector>

namespace lw::layering {

struct Violation {
  std::string file;     // relative to the checked root
  int line = 0;
  std::string include;  // as written between the quotes or brackets
  std::string rule;     // what the rule protects
};

// Every .h/.cpp below root (build folders and .git skipped), checked
// against the program's rules.
std::vector<Violation> checkTree(const std::filesystem::path& root);

// "file:line: #include X: rule" for a failure message.
std::string describe(const Violation& v);

}  // namespace lw::layering
