#include "production/store_address.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "core/text.h"
#include "update/url_credentials.h"

namespace lw {

namespace {

bool endsWithIgnoreCase(const std::string& text, std::string_view end) {
  return text.size() >= end.size() && equalsIgnoreCase(std::string_view(text).substr(text.size() - end.size()), end);
}

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The URI split where its password parts are: the user information's
// password and a password= query parameter are taken out into password;
// masked gets "***" in their place, bare leaves them out.
struct UriParts {
  std::string bare;
  std::string masked;
  std::string password;
};

UriParts splitPassword(const std::string& uri) {
  UriParts parts;
  const std::size_t start = uri.find("://") + 3;
  const std::size_t authorityEnd = std::min(uri.find_first_of("/?#", start), uri.size());
  const std::string authority = uri.substr(start, authorityEnd - start);
  const std::size_t at = authority.rfind('@');
  std::string bareAuthority = authority;
  if (at != std::string::npos) {
    const std::string user = authority.substr(0, at);
    const std::size_t colon = user.find(':');
    if (colon != std::string::npos) {
      parts.password = percentDecoded(user.substr(colon + 1));
      bareAuthority = user.substr(0, colon) + authority.substr(at);
    }
  }
  std::string rest = uri.substr(authorityEnd);
  // password=... among the query's parameters.
  std::string bareRest, maskedRest;
  const std::size_t query = rest.find('?');
  if (query == std::string::npos) {
    bareRest = maskedRest = rest;
  } else {
    bareRest = maskedRest = rest.substr(0, query + 1);
    std::string bareParams, maskedParams;
    std::size_t from = query + 1;
    while (from <= rest.size()) {
      const std::size_t amp = std::min(rest.find('&', from), rest.size());
      const std::string param = rest.substr(from, amp - from);
      const bool secret = param.rfind("password=", 0) == 0;
      if (secret) parts.password = percentDecoded(param.substr(9));
      const std::string shown = secret ? "password=***" : param;
      if (!secret) bareParams += (bareParams.empty() ? "" : "&") + param;
      maskedParams += (maskedParams.empty() ? "" : "&") + shown;
      from = amp + 1;
    }
    bareRest += bareParams;
    maskedRest += maskedParams;
    if (bareParams.empty()) bareRest.pop_back();
  }
  parts.bare = uri.substr(0, start) + bareAuthority + bareRest;
  parts.masked = withCredentialsMasked(uri.substr(0, authorityEnd)) + maskedRest;
  return parts;
}

}  // namespace

bool isDatabase(StoreKind kind) { return kind == StoreKind::kSqlite || kind == StoreKind::kPostgresql; }

std::optional<StoreAddress> parseStoreAddress(const std::string& text, std::string& problem) {
  StoreAddress a;
  if (text.rfind("postgresql:", 0) == 0 || text.rfind("postgres:", 0) == 0) {
    a.kind = StoreKind::kPostgresql;
    const std::string rest = text.substr(text.find(':') + 1);
    if (rest.empty()) {
      a.shown = a.journalKey = "postgresql:";
      return a;
    }
    if (rest.rfind("//", 0) != 0) {
      problem = "--log " + text.substr(0, text.find(':') + 1) +
                " takes a URI (postgresql://USER@HOST/DATABASE) or nothing (the PG* environment)";
      return std::nullopt;
    }
    const UriParts parts = splitPassword(text);
    a.target = text;
    a.shown = parts.masked;
    a.journalKey = parts.bare;
    a.password = parts.password;
    return a;
  }
  if (text.rfind("sqlite:", 0) == 0) {
    a.kind = StoreKind::kSqlite;
    a.target = text.substr(7);
    if (a.target.empty()) {
      problem = "--log sqlite: needs the database's path (sqlite:PATH)";
      return std::nullopt;
    }
  } else {
    a.kind = endsWithIgnoreCase(text, ".csv")                                          ? StoreKind::kCsv
             : endsWithIgnoreCase(text, ".db") || endsWithIgnoreCase(text, ".sqlite") ? StoreKind::kSqlite
                                                                                      : StoreKind::kJsonLines;
    a.target = text;
  }
  a.shown = a.target;
  a.journalKey = absolutePath(a.target);
  if (a.kind == StoreKind::kSqlite) a.journalKey = "sqlite:" + a.journalKey;
  return a;
}

std::string withPasswordHidden(std::string text, const std::string& password) {
  if (password.empty()) return text;
  std::string encoded;
  for (const unsigned char c : password)
    encoded += std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' ? std::string(1, static_cast<char>(c))
                                                                               : format("%%%02X", c);
  for (const std::string& secret : {password, encoded}) {
    for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3))
      text.replace(at, secret.size(), "***");
  }
  return text;
}

}  // namespace lw
