// The manual pages are written from the programs' --help at build time:
// loomwrite-cli(1) names every command the tool dispatches, and both pages
// render without a warning the way lintian has man render them.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "tests/desktop/shell_run.h"

namespace lw::test {
namespace {

const std::string kManDir = LW_BINARY_DIR "/packaging/man/";

// "kpj save", "program", ...: the command block of --help (lines two spaces
// in, after the usage line and before the first line that is not indented),
// with the subcommand where the second word is one ("gang erase|blank-check"
// names two).
std::set<std::string> commandsInHelp(const std::string& help) {
  std::set<std::string> commands;
  std::istringstream lines(help);
  std::string line;
  std::getline(lines, line);  // usage
  const std::regex command(R"(^  ([a-z][a-z-]*)(?: ([a-z][a-z|-]*))?(?:\s|$))");
  while (std::getline(lines, line) && (line.empty() || line[0] == ' ')) {
    std::smatch m;
    if (!std::regex_search(line, m, command)) continue;
    if (!m[2].matched) commands.insert(m[1].str());
    std::istringstream subs(m[2].str());
    for (std::string sub; std::getline(subs, sub, '|');) commands.insert(m[1].str() + " " + sub);
  }
  return commands;
}

// The commands loomwrite-cli dispatches ("kpj-save" is typed "kpj save").
std::set<std::string> dispatchedCommands() {
  const std::string source = readText(LW_SOURCE_DIR "/cli/main.cpp");
  std::set<std::string> commands;
  const std::regex dispatch(R"re(o\.command == "([a-z-]+)")re");
  for (auto it = std::sregex_iterator(source.begin(), source.end(), dispatch); it != std::sregex_iterator(); ++it) {
    std::string name = (*it)[1].str();
    for (const char* group : {"kpj-", "emulator-", "gang-"})
      if (name.rfind(group, 0) == 0) name[std::string(group).size() - 1] = ' ';
    commands.insert(name);
  }
  return commands;
}

// The page's text with the roff escapes the help needed undone.
std::string pageText(const std::string& program) {
  std::string page = readText(kManDir + program + ".1");
  for (std::size_t at = 0; (at = page.find("\\-", at)) != std::string::npos;) page.replace(at, 2, "-");
  for (std::size_t at = 0; (at = page.find("\\e", at)) != std::string::npos;) page.replace(at, 2, "\\");
  for (std::size_t at = 0; (at = page.find("\\&", at)) != std::string::npos;) page.erase(at, 2);
  return page;
}

TEST(ManualPages, TheToolsPageNamesEveryCommandItDispatches) {
  const ShellRun help = runShell(LW_BIN_DIR "/loomwrite-cli --help");
  ASSERT_EQ(help.exit, 0);
  const std::set<std::string> listed = commandsInHelp(help.out);
  const std::set<std::string> dispatched = dispatchedCommands();
  ASSERT_GE(dispatched.size(), 12u) << "the dispatch in cli/main.cpp was not found";
  for (const std::string& command : dispatched)
    EXPECT_TRUE(listed.count(command)) << "--help does not name the command '" << command << "'";
  // The page holds every line of --help, so every command and option.
  const std::string page = pageText("loomwrite-cli");
  ASSERT_FALSE(page.empty());
  std::istringstream lines(help.out);
  for (std::string line; std::getline(lines, line);)
    EXPECT_NE(page.find(line), std::string::npos) << "the page lacks: " << line;
  EXPECT_NE(page.find("LOOMWRITE_LANGUAGE"), std::string::npos);
}

TEST(ManualPages, BothRenderWithoutWarningsAndAreInstalledCompressed) {
  for (const char* program : {"loomwrite", "loomwrite-cli"}) {
    const std::string page = kManDir + program + ".1";
    const ShellRun man =
        runShell("MANWIDTH=120 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z '" + page + "' > /dev/null");
    EXPECT_EQ(man.exit, 0) << program;
    EXPECT_EQ(man.err, "") << program;
    const ShellRun text = runShell("MANWIDTH=80 LC_ALL=C.UTF-8 man -l '" + page + "'");
    EXPECT_NE(text.out.find("EXIT STATUS"), std::string::npos) << program;
    EXPECT_NE(text.out.find("--language en|zh"), std::string::npos) << program;
    EXPECT_EQ(runShell("gzip -dc '" + page + ".gz' | cmp - '" + page + "'").exit, 0) << program;
    // A place is @NAME@; the help itself may hold an @ (postgresql://USER@HOST).
    EXPECT_FALSE(std::regex_search(readText(page), std::regex("@[A-Z]+@"))) << program << ": a place of the template was left";
  }
}

}  // namespace
}  // namespace lw::test
