#include <libpq-fe.h>

#include "platform/postgresql/libpq_library.h"

namespace lw {

LazyLibrary& libpqLibrary() {
  static LazyLibrary library("libpq.so.5");
  return library;
}

}  // namespace lw

using lw::libpqLibrary;

LW_LAZY_FORWARD(libpqLibrary, PGconn*, PQconnectdbParams,
                (const char* const* keywords, const char* const* values, int expand), (keywords, values, expand),
                nullptr)
LW_LAZY_FORWARD(libpqLibrary, PGPing, PQpingParams,
                (const char* const* keywords, const char* const* values, int expand), (keywords, values, expand),
                PQPING_NO_ATTEMPT)
LW_LAZY_FORWARD(libpqLibrary, void, PQfinish, (PGconn * c), (c), void())
LW_LAZY_FORWARD(libpqLibrary, void, PQreset, (PGconn * c), (c), void())
LW_LAZY_FORWARD(libpqLibrary, ConnStatusType, PQstatus, (const PGconn* c), (c), CONNECTION_BAD)
LW_LAZY_FORWARD(libpqLibrary, char*, PQerrorMessage, (const PGconn* c), (c), nullptr)
LW_LAZY_FORWARD(libpqLibrary, PQnoticeProcessor, PQsetNoticeProcessor,
                (PGconn * c, PQnoticeProcessor processor, void* arg), (c, processor, arg), nullptr)
LW_LAZY_FORWARD(libpqLibrary, PGresult*, PQexec, (PGconn * c, const char* query), (c, query), nullptr)
LW_LAZY_FORWARD(libpqLibrary, PGresult*, PQexecParams,
                (PGconn * c, const char* command, int n, const Oid* types, const char* const* values,
                 const int* lengths, const int* formats, int resultFormat),
                (c, command, n, types, values, lengths, formats, resultFormat), nullptr)
LW_LAZY_FORWARD(libpqLibrary, int, PQsendQueryParams,
                (PGconn * c, const char* command, int n, const Oid* types, const char* const* values,
                 const int* lengths, const int* formats, int resultFormat),
                (c, command, n, types, values, lengths, formats, resultFormat), 0)
LW_LAZY_FORWARD(libpqLibrary, int, PQsetSingleRowMode, (PGconn * c), (c), 0)
LW_LAZY_FORWARD(libpqLibrary, PGresult*, PQgetResult, (PGconn * c), (c), nullptr)
LW_LAZY_FORWARD(libpqLibrary, ExecStatusType, PQresultStatus, (const PGresult* r), (r), PGRES_FATAL_ERROR)
LW_LAZY_FORWARD(libpqLibrary, char*, PQresultErrorMessage, (const PGresult* r), (r), nullptr)
LW_LAZY_FORWARD(libpqLibrary, char*, PQresultErrorField, (const PGresult* r, int field), (r, field), nullptr)
LW_LAZY_FORWARD(libpqLibrary, int, PQntuples, (const PGresult* r), (r), 0)
LW_LAZY_FORWARD(libpqLibrary, char*, PQcmdTuples, (PGresult * r), (r), nullptr)
LW_LAZY_FORWARD(libpqLibrary, char*, PQgetvalue, (const PGresult* r, int row, int field), (r, row, field), nullptr)
LW_LAZY_FORWARD(libpqLibrary, int, PQgetisnull, (const PGresult* r, int row, int field), (r, row, field), 1)
LW_LAZY_FORWARD(libpqLibrary, void, PQclear, (PGresult * r), (r), void())
