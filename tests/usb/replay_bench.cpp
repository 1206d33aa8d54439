#include "tests/usb/replay_bench.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "platform/hid/interface_path.h"

namespace lw::usbtest {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A property of a sysfs uevent file ("HID_NAME=...").
std::string property(const std::string& uevent, const std::string& key) {
  std::istringstream in(uevent);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  return "";
}

}  // namespace

ReplayBench::ReplayBench(const fs::path& recording) {
  std::map<std::string, NodeTrace> ioctls, scripts;
  bool tree = false;
  for (const auto& entry : fs::directory_iterator(recording)) {
    const fs::path& file = entry.path();
    std::string problem;
    if (file.extension() == ".umockdev") {
      testbed_.addFile(file.string());
      tree = true;
    } else if (file.extension() == ".ioctl" || file.extension() == ".script") {
      const bool isIoctl = file.extension() == ".ioctl";
      auto trace = isIoctl ? parseIoctlTrace(readFile(file), problem) : parseScript(readFile(file), problem);
      if (!trace) throw std::runtime_error(file.string() + ": cannot read the line \"" + problem + "\"");
      NodeTrace& into = (isIoctl ? ioctls : scripts)[trace->device];
      into.device = trace->device;
      into.ioctls.insert(into.ioctls.end(), trace->ioctls.begin(), trace->ioctls.end());
      into.script.insert(into.script.end(), trace->script.begin(), trace->script.end());
    }
  }
  if (!tree) throw std::runtime_error(recording.string() + " holds no device tree (*.umockdev)");

  std::map<std::string, bool> nodes;
  for (const auto& [node, trace] : ioctls) nodes[node] = true;
  for (const auto& [node, trace] : scripts) nodes[node] = true;
  for (const auto& [node, unused] : nodes) {
    auto signal = std::make_unique<PollSignal>();
    testbed_.setNode(node, signal->path());
    nodes_.push_back(std::make_unique<ReplayNode>(identityOf(node), ioctls[node], scripts[node], std::move(signal)));
    testbed_.attach(node, *nodes_.back());
  }
}

ReplayBench::~ReplayBench() { testbed_.detachAll(); }

HidIdentity ReplayBench::identityOf(const std::string& node) const {
  const fs::path hidraw = fs::canonical(testbed_.root() + "/sys/class/hidraw/" + fs::path(node).filename().string());
  // The hid device: the hidraw device's "device" link, or its grandparent.
  const fs::path hid = fs::exists(hidraw / "device") ? fs::canonical(hidraw / "device") : hidraw.parent_path().parent_path();
  const std::string uevent = readFile(hid / "uevent");
  const std::string descriptor = readFile(hid / "report_descriptor");
  HidIdentity id;
  if (const auto ids = hid::idsFromUdevHidId(property(uevent, "HID_ID"))) {
    id.vendorId = ids->vendorId;
    id.productId = ids->productId;
  }
  id.descriptor.assign(descriptor.begin(), descriptor.end());
  id.name = property(uevent, "HID_NAME");
  id.phys = property(uevent, "HID_PHYS");
  id.uniq = property(uevent, "HID_UNIQ");
  return id;
}

std::vector<std::string> ReplayBench::divergences() const {
  std::vector<std::string> all;
  for (const auto& n : nodes_)
    for (const std::string& d : n->divergences()) all.push_back(d);
  return all;
}

}  // namespace lw::usbtest
