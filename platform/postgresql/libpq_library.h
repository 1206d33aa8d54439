#pragma once
// libpq as it is loaded on first use (libpq_library.cpp defines the
// functions of <libpq-fe.h> the store calls, each forwarding to the
// library): only a run that logs to PostgreSQL maps libpq and the Kerberos,
// LDAP and TLS libraries it brings.
#include "platform/posix/lazy_library.h"

namespace lw {

LazyLibrary& libpqLibrary();

}  // namespace lw
