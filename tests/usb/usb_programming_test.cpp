// Update Target, Update Programmer and a gang, each through hidapi on a
// hidraw node: feature reports out and in, answer reports through poll()
// and read().
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <map>
#include <sstream>

#include "tests/usb/usb_rig.h"

namespace lw::usbtest {
namespace {

bool begins(const std::vector<uint8_t>& flash, const std::vector<uint8_t>& image) {
  return flash.size() >= image.size() && std::equal(image.begin(), image.end(), flash.begin());
}

TEST_F(UsbAdapters, UpdateTargetAndUpdateProgrammerRunOverUsb) {
  const std::size_t adapter = plug("1-2.3");
  // 2 KiB: 16 feature reports of code, and 19 read answers in the verify.
  const std::string code = image("code.bin", 2048);

  const test::CliRun program = cli({"--json", "program", code, "--part", "Larch-F8U6", "--option", "SWDP"});
  ASSERT_EQ(program.exit, 0) << program.err;
  EXPECT_EQ(program.json()["result"].toString(), "Pass !: Update Target ok !");
  EXPECT_TRUE(begins(flash(adapter), imageBytes(2048)));
  EXPECT_EQ(state(adapter).read("target-options.txt").substr(0, 2), "FE");

  const test::CliRun stored = cli({"--json", "program-adapter", code, "--part", "Larch-F8U6", "--serial-string",
                                   "LINE-A", "--serial-number", "100"});
  ASSERT_EQ(stored.exit, 0) << stored.err;
  EXPECT_EQ(stored.json()["result"].toString(), "Pass !: Update Programmer ok !");
  EXPECT_EQ(state(adapter).readBytes("offline-code.bin"), imageBytes(2048));
  EXPECT_EQ(state(adapter).readBytes("offline-header.bin").size(), 77u);
}

TEST_F(UsbAdapters, AGangProgramsTwoUsbAdaptersAtOnceAndLogsEachOnesUsbSerial) {
  const std::size_t a = plug("1-2.3", std::string("serial = LW-0007\n") + kQuickAdapter);
  const std::size_t b = plug("1-2.4");
  const std::string code = image("code.bin", 1024, 9);

  const test::CliRun gang =
      cli({"--json", "gang", "program", code, "--part", "Larch-F8U6", "--log", work / "line.jsonl"});
  ASSERT_EQ(gang.exit, 0) << gang.err;
  const QJsonObject json = gang.json();
  EXPECT_EQ(json["passed"].toInt(), 2);
  const QJsonArray boards = json["adapters"].toArray();
  ASSERT_EQ(boards.size(), 2);
  EXPECT_EQ(boards[0].toObject()["place"].toString(), "usb:1-2.3");
  EXPECT_EQ(boards[1].toObject()["place"].toString(), "usb:1-2.4");
  EXPECT_TRUE(begins(flash(a), imageBytes(1024, 9)));
  EXPECT_TRUE(begins(flash(b), imageBytes(1024, 9)));

  // Each row names the adapter by its place and by the serial number its
  // USB device gave (none for the second).
  std::map<QString, QString> serialByPlace;
  std::istringstream rows(work.read("line.jsonl"));
  for (std::string line; std::getline(rows, line);) {
    const QJsonObject row = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
    serialByPlace[row["adapter"].toString()] = row["adapter_serial"].toString();
  }
  EXPECT_EQ(serialByPlace, (std::map<QString, QString>{{"usb:1-2.3", "LW-0007"}, {"usb:1-2.4", ""}}));
}

}  // namespace
}  // namespace lw::usbtest
