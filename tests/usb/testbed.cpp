#include "tests/usb/testbed.h"

#include <linux/ioctl.h>
#include <umockdev.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>
#include <stdexcept>

namespace lw::usbtest {
namespace {

constexpr char kClientKey[] = "lw-client";

std::string takeMessage(GError* error) {
  std::string text = error ? error->message : "unknown error";
  if (error) g_error_free(error);
  return text;
}

void complete(UMockdevIoctlClient* client, long result) {
  if (result < 0) umockdev_ioctl_client_complete(client, -1, static_cast<int>(-result));
  else umockdev_ioctl_client_complete(client, result, 0);
}

}  // namespace

// The calls of one node, and whether they may still be made: umockdev may
// finalize a client after the harness has let go of the node.
struct Testbed::Attachment {
  struct Target {
    std::mutex mutex;
    NodeCalls* calls = nullptr;
    std::atomic<ClientId> nextClient{0};
  };
  std::shared_ptr<Target> target = std::make_shared<Target>();
  UMockdevIoctlBase* handler = umockdev_ioctl_base_new();

  ~Attachment() {
    {
      std::lock_guard lock(target->mutex);
      target->calls = nullptr;
    }
    g_signal_handlers_disconnect_by_data(handler, this);
    g_object_unref(handler);
  }

  static ClientId idOf(UMockdevIoctlClient* client) {
    return reinterpret_cast<uintptr_t>(g_object_get_data(G_OBJECT(client), kClientKey));
  }

  // Runs fn with the node's calls, or answers ENODEV when the node is gone.
  template <typename Fn>
  static gboolean handle(UMockdevIoctlClient* client, gpointer data, Fn fn) {
    auto* self = static_cast<Attachment*>(data);
    std::lock_guard lock(self->target->mutex);
    complete(client, self->target->calls ? fn(*self->target->calls, idOf(client)) : -ENODEV);
    return TRUE;
  }

  static void onConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    auto* self = static_cast<Attachment*>(data);
    const ClientId id = ++self->target->nextClient;
    g_object_set_data(G_OBJECT(client), kClientKey, reinterpret_cast<gpointer>(static_cast<uintptr_t>(id)));
    // umockdev says nothing when a client closes the node; the client object
    // goes when its connection has ended, which is the close.
    auto* keep = new std::pair<std::shared_ptr<Target>, ClientId>(self->target, id);
    g_object_weak_ref(
        G_OBJECT(client),
        [](gpointer p, GObject*) {
          auto* entry = static_cast<std::pair<std::shared_ptr<Target>, ClientId>*>(p);
          {
            std::lock_guard lock(entry->first->mutex);
            if (entry->first->calls) entry->first->calls->closed(entry->second);
          }
          delete entry;
        },
        keep);
    std::lock_guard lock(self->target->mutex);
    if (self->target->calls) self->target->calls->opened(id);
  }

  static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    const std::size_t size = _IOC_SIZE(request);
    UMockdevIoctlData* memory = nullptr;
    if (size > 0) {
      GError* error = nullptr;
      memory = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, &error);
      if (error) g_error_free(error);
      // A null or unreadable pointer, as the kernel's copy_from_user finds it.
      if (!memory) {
        complete(client, -EFAULT);
        return TRUE;
      }
    }
    const gboolean handled = handle(client, data, [&](NodeCalls& calls, ClientId id) {
      return calls.ioctl(id, request,
                         memory ? std::span<uint8_t>(memory->data, static_cast<std::size_t>(memory->data_len))
                                : std::span<uint8_t>());
    });
    // The argument keeps its own reference and writes the bytes back.
    if (memory) g_object_unref(memory);
    return handled;
  }

  static gboolean onRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
    return handle(client, data, [&](NodeCalls& calls, ClientId id) {
      return calls.read(id, std::span<uint8_t>(buffer->data, static_cast<std::size_t>(buffer->data_len)));
    });
  }

  static gboolean onWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    UMockdevIoctlData* buffer = umockdev_ioctl_client_get_arg(client);
    return handle(client, data, [&](NodeCalls& calls, ClientId id) {
      return calls.write(id, std::span<const uint8_t>(buffer->data, static_cast<std::size_t>(buffer->data_len)));
    });
  }
};

Testbed::Testbed() : bed_(umockdev_testbed_new()) {
  gchar* root = umockdev_testbed_get_root_dir(bed_);
  root_ = root;
  g_free(root);
  if (!umockdev_in_mock_environment())
    throw std::runtime_error("libumockdev-preload.so is not loaded: run the tests through their own main()");
}

Testbed::~Testbed() {
  detachAll();
  g_object_unref(bed_);
  attachments_.clear();
}

void Testbed::detachAll() {
  for (auto& a : attachments_) {
    std::lock_guard lock(a->target->mutex);
    a->target->calls = nullptr;
  }
}

std::string Testbed::root() const { return root_; }

void Testbed::add(const std::string& record) {
  GError* error = nullptr;
  if (!umockdev_testbed_add_from_string(bed_, record.c_str(), &error))
    throw std::runtime_error("umockdev rejected the device record: " + takeMessage(error));
}

void Testbed::addFile(const std::string& path) {
  GError* error = nullptr;
  if (!umockdev_testbed_add_from_file(bed_, path.c_str(), &error))
    throw std::runtime_error("umockdev cannot load " + path + ": " + takeMessage(error));
}

void Testbed::uevent(const std::string& syspath, const char* action) {
  umockdev_testbed_uevent(bed_, syspath.c_str(), action);
}

void Testbed::remove(const std::string& syspath) { umockdev_testbed_remove_device(bed_, syspath.c_str()); }

void Testbed::link(const std::string& syspath, const std::string& name, const std::string& target) {
  const std::filesystem::path dir = root() + syspath;
  std::filesystem::create_directories(dir);
  std::filesystem::create_symlink(target, dir / name);
}

void Testbed::setNode(const std::string& devnode, const std::string& target) {
  removeNode(devnode);
  const std::filesystem::path node = root() + devnode;
  std::filesystem::create_directories(node.parent_path());
  std::filesystem::create_symlink(target, node);
}

void Testbed::removeNode(const std::string& devnode) {
  std::error_code ec;
  std::filesystem::remove(root() + devnode, ec);
}

void Testbed::attach(const std::string& devnode, NodeCalls& calls) {
  auto a = std::make_unique<Attachment>();
  a->target->calls = &calls;
  g_signal_connect(a->handler, "client-connected", G_CALLBACK(&Attachment::onConnected), a.get());
  g_signal_connect(a->handler, "handle-ioctl", G_CALLBACK(&Attachment::onIoctl), a.get());
  g_signal_connect(a->handler, "handle-read", G_CALLBACK(&Attachment::onRead), a.get());
  g_signal_connect(a->handler, "handle-write", G_CALLBACK(&Attachment::onWrite), a.get());
  GError* error = nullptr;
  if (!umockdev_testbed_attach_ioctl(bed_, devnode.c_str(), a->handler, &error))
    throw std::runtime_error("cannot attach to " + devnode + ": " + takeMessage(error));
  attachments_.push_back(std::move(a));
}

}  // namespace lw::usbtest
