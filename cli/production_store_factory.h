#pragma once
// The store a --log address names, not yet opened.
#include <memory>

#include "core/ports/production_store_port.h"
#include "production/store_address.h"

namespace lw::cli {

// kWrite: a file or database is made when missing. kRead: it must be there.
enum class StoreUse { kWrite, kRead };

std::unique_ptr<ProductionStorePort> makeProductionStore(const StoreAddress& address, StoreUse use);

}  // namespace lw::cli
