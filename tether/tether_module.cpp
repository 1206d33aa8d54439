// The Link library's version block; the entry points come with the adapter link.
#include "core/version_block.h"

LW_MODULE_VERSION_BLOCK(LinkLibraryVersion, 1, 4, 0, 0);
