// adapters: every adapter on offer, where it is plugged in, its mode, and
// for one in normal mode its firmware and whether it can hold a job.
#include <cstdio>
#include <string>

#include "cli/adapter_list.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "core/codes.h"
#include "core/text.h"
#include "ui/main/main_dialog.h"

namespace lw::cli {

namespace {

std::string orDash(const std::string& s) { return s.empty() ? "-" : s; }

std::string identityError(const AdapterEntry& a) {
  if (a.identifyError == static_cast<int>(err::kAccessDenied)) return "access denied";
  if (a.identifyError == kLinkEntryMissing) return "not asked (the Link library cannot identify)";
  return format("no answer (error %d)", a.identifyError);
}

std::string storageText(const AdapterIdentity& id) {
  if (!id.storage) return "no";
  return id.storageCapacity ? format("yes (%u bytes)", id.storageCapacity) : "yes";
}

JsonObject entryJson(const AdapterEntry& a) {
  JsonObject j;
  j.add("place", a.place).add("port", a.port).add("node", a.node).add("serial", a.serial);
  j.add("product_id", format("0x%04X", a.productId)).add("mode", adapterModeName(a.productId));
  if (a.identity) {
    j.add("firmware", firmwareVersionText(*a.identity))
        .add("storage", a.identity->storage != 0)
        .add("storage_capacity", static_cast<int64_t>(a.identity->storageCapacity));
  } else if (a.productId == kPidNormal) {
    j.add("identify_error", identityError(a));
  }
  return j;
}

}  // namespace

int runAdapters(const Options& o) {
  JsonObject json;
  json.add("command", "adapters");
  if (!selectAdapter(o)) return finish(o, json, kExitUsage, nullptr);
  ConsoleSession session(sessionSetupFor(o));
  ConsoleMessageBoxes& messages = session.messages();
  if (!session.loadLinkLibrary()) return finish(o, json, kExitFailed, &messages);
  session.open("");

  std::vector<AdapterEntry> adapters = listAdapters();
  identifyAdapters(session.main().link(), adapters, o.adapter);

  std::vector<std::string> items;
  for (const AdapterEntry& a : adapters) items.push_back(entryJson(a).str());
  json.addRaw("adapters", jsonArray(items));
  if (adapters.empty()) {
    std::fprintf(stderr, "loomwrite-cli: no adapter found\n");
    return finish(o, json, kExitFailed, &messages);
  }
  if (!o.json) {
    std::printf("%-24s %-14s %-16s %-16s %-9s %s\n", "PLACE", "NODE", "MODE", "SERIAL", "FIRMWARE", "STORAGE");
    for (const AdapterEntry& a : adapters) {
      std::string firmware = "-", storage = "-";
      if (a.identity) {
        firmware = firmwareVersionText(*a.identity);
        storage = storageText(*a.identity);
      } else if (a.productId == kPidNormal) {
        firmware = identityError(a);
      }
      std::printf("%-24s %-14s %-16s %-16s %-9s %s\n", a.place.c_str(), orDash(a.node).c_str(),
                  adapterModeName(a.productId).c_str(), orDash(a.serial).c_str(), firmware.c_str(), storage.c_str());
    }
  }
  return finish(o, json, kExitOk, &messages);
}

}  // namespace lw::cli
