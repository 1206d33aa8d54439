#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "layering_rules.h"

namespace lw::layering {
namespace {

namespace fs = std::filesystem;

TEST(Layering, SourceTreeKeepsItsLayers) {
  const auto violations = checkTree(LW_SOURCE_DIR);
  std::string report;
  for (const auto& v : violations) report += describe(v) + "\n";
  EXPECT_TRUE(violations.empty()) << "Include rules broken:\n" << report;
}

// A tree with one breach of each rule beside includes that are allowed.
TEST(Layering, EachRuleCatchesItsBreach) {
  const fs::path root = fs::temp_directory_path() / ("lw-layering-" + std::to_string(::getpid()));
  fs::remove_all(root);
  auto write = [&](const std::string& file, const std::string& text) {
    fs::create_directories((root / file).parent_path());
    std::ofstream(root / file) << text;
  };
  write("ui/dialogs/view.cpp", "#include <QWidget>\n#include \"core/ports/dialog_port.h\"\n");
  write("image/loader.cpp", "#include <vector>\n\n  #  include \"platform/qt/qt_settings.h\"\n");
  write("link/op.h", "#include \"app/startup.h\"\n");
  write("emulator/dev.cpp", "#include \"core/abi/link_abi.h\"\n#include \"link/adapter_status.h\"\n");
  write("platform/qt/ok.cpp", "#include <QWidget>\n#include \"ui/main/main_dialog.h\"\n");
  write("tether/ok.cpp", "#include \"platform/hid/hid_api.h\"\n#include \"resources/part_database.h\"\n");
  write("build/gen/ignored.cpp", "#include <QWidget>\n");
  write("image/CMakeLists.txt", "add_library(lw_image STATIC a.cpp)\ntarget_link_libraries(lw_image PUBLIC lw_app)\n");
  write("app/CMakeLists.txt", "target_link_libraries(loomwrite PRIVATE lw_app)\n");

  const auto v = checkTree(root);
  fs::remove_all(root);
  ASSERT_EQ(v.size(), 5u);
  EXPECT_EQ(v[0].file, "emulator/dev.cpp");
  EXPECT_EQ(v[0].line, 2);
  EXPECT_EQ(v[1].file, "image/CMakeLists.txt");
  EXPECT_EQ(v[1].line, 2);
  EXPECT_EQ(v[2].file, "image/loader.cpp");
  EXPECT_EQ(v[2].line, 3);
  EXPECT_EQ(v[2].include, "platform/qt/qt_settings.h");
  EXPECT_EQ(v[3].file, "link/op.h");
  EXPECT_EQ(v[4].file, "ui/dialogs/view.cpp");
  EXPECT_EQ(v[4].include, "QWidget");
  EXPECT_NE(describe(v[4]).find("ui/dialogs/view.cpp:1: #include QWidget: Qt is used only"), std::string::npos);
}

}  // namespace
}  // namespace lw::layering
