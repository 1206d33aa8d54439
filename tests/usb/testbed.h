#pragma once
// A umockdev testbed: the sysfs tree, /dev nodes and uevents the program
// sees through the preload library, with node calls handed to NodeCalls.
// The testbed sets UMOCKDEV_DIR for this process and the processes it
// starts; it must live while they run.
#include <memory>
#include <string>
#include <vector>

#include "tests/usb/node_calls.h"

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace lw::usbtest {

class Testbed {
 public:
  Testbed();
  ~Testbed();
  Testbed(const Testbed&) = delete;
  Testbed& operator=(const Testbed&) = delete;

  std::string root() const;
  // Adds the devices of a record (umockdev-record's format); each is
  // announced with an "add" uevent. Throws std::runtime_error on a bad record.
  void add(const std::string& record);
  void addFile(const std::string& path);
  void uevent(const std::string& syspath, const char* action);
  void remove(const std::string& syspath);
  // Makes the sysfs link name -> target in the device directory syspath,
  // creating the directory when the device is not there yet.
  void link(const std::string& syspath, const std::string& name, const std::string& target);
  // The node devnode ("/dev/hidraw0") becomes target (a pseudo-terminal).
  void setNode(const std::string& devnode, const std::string& target);
  void removeNode(const std::string& devnode);
  // Hands every open, ioctl, read and write of devnode to calls until the
  // testbed ends. Once per node.
  void attach(const std::string& devnode, NodeCalls& calls);
  // From now on every node call is answered ENODEV; call before the
  // NodeCalls go.
  void detachAll();

 private:
  struct Attachment;
  UMockdevTestbed* bed_;
  std::string root_;
  std::vector<std::unique_ptr<Attachment>> attachments_;
};

}  // namespace lw::usbtest
