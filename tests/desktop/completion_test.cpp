// The shell completion of loomwrite-cli, run in bash (with the system's
// bash-completion, as an interactive shell loads it) and in zsh (with the
// completion system's calls recorded): commands, subcommands, part names,
// listed values and the files the tool loads.
#include <gtest/gtest.h>

#include <string>

#include "tests/desktop/shell_run.h"

namespace lw::test {
namespace {

const std::string kTool = LW_BIN_DIR "/loomwrite-cli";

// The completions bash offers for the words of a command line (the last
// word is the one being completed), separated by spaces.
std::string bashCompletes(const std::string& words) {
  const std::string script =
      "source /usr/share/bash-completion/bash_completion; "
      "source " LW_SOURCE_DIR "/packaging/completion/loomwrite-cli.bash; "
      "compopt() { :; }; "
      "COMP_WORDS=(" + kTool + " " + words + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
      "COMP_LINE=\"${COMP_WORDS[*]}\"; COMP_POINT=${#COMP_LINE}; _loomwrite_cli; echo \"${COMPREPLY[*]}\"";
  const ShellRun run = runShell("cd " LW_SOURCE_DIR " && LOOMWRITE_ADAPTER=usb bash -c '" +
                                script + "'");
  EXPECT_EQ(run.err, "") << words;
  return run.out.substr(0, run.out.find('\n'));
}

TEST(Completion, BashOffersCommandsPartsValuesAndCodeFiles) {
  EXPECT_EQ(bashCompletes("pro"), "program program-adapter");
  EXPECT_EQ(bashCompletes("kpj \"\""), "form save show");
  EXPECT_EQ(bashCompletes("--json gang \"\""), "blank-check erase program program-adapter verify");
  EXPECT_EQ(bashCompletes("program examples/blinky.hex --part L"), "Larch-F8U6 Larch-K8U6 Larch-F8P6 Larch-K8T6");
  EXPECT_EQ(bashCompletes("program examples/blinky.hex --part Larch-F8U6 --option I"), "IWDGINTMASK IWDGMODE IWDGON");
  EXPECT_EQ(bashCompletes("--language \"\""), "en zh");
  EXPECT_EQ(bashCompletes("load x.hex --format \"\""), "bin hex srec");
  EXPECT_EQ(bashCompletes("--adapter emu"), "emulator:");
  EXPECT_EQ(bashCompletes("load x.hex --at 1000 --pa"), "--part --part-no");
  // Code files by their extensions (and folders to look in), nothing else.
  EXPECT_EQ(bashCompletes("program examples/blinky.h"), "examples/blinky.hex");
  EXPECT_EQ(bashCompletes("program README"), "");
}

TEST(Completion, ZshOffersCommandsAndParts) {
  const std::string script =
      "compadd() { local a; for a in \"$@\"; do [[ $a == -* || -z $a ]] && continue; "
      "[[ $a == ${PREFIX}* ]] && print -rn -- \"$a \"; done; }; "
      "_files() { print -rn -- \"<files> \"; }; "
      "comp() { words=(" + kTool + " \"$@\"); CURRENT=${#words}; PREFIX=${words[CURRENT]}; "
      "source " LW_SOURCE_DIR "/packaging/completion/_loomwrite-cli; print; }; "
      "comp pro; comp kpj \"\"; comp program x.hex --part Larch-K; comp program \"\"";
  const ShellRun run = runShell("zsh -f -c '" + script + "'");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "program program-adapter \nform save show \nLarch-K8U6 Larch-K8T6 \n<files> \n");
}

}  // namespace
}  // namespace lw::test
