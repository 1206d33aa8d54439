#pragma once
// The system calls a program makes on an emulated device node, as the
// testbed hands them to the harness. Each open() of the node is a client of
// its own. Results are the calls' own: a count or 0, or -errno.
#include <cstdint>
#include <span>

namespace lw::usbtest {

using ClientId = uint64_t;

class NodeCalls {
 public:
  virtual ~NodeCalls() = default;
  virtual void opened(ClientId) {}
  virtual void closed(ClientId) {}
  // arg holds the _IOC_SIZE(request) bytes the argument points to (none for
  // a request without a size); changes to it reach the caller.
  virtual long ioctl(ClientId client, unsigned long request, std::span<uint8_t> arg) = 0;
  virtual long read(ClientId client, std::span<uint8_t> buffer) = 0;
  virtual long write(ClientId client, std::span<const uint8_t> buffer) = 0;
};

}  // namespace lw::usbtest
