// Where the class database is: a libpq connection string of key=value pairs
// ("host=db.school.example dbname=rekendo sslmode=verify-full", or "service=rekendo" for an
// entry of pg_service.conf). Qt's QPSQL driver builds its own connection string from the
// host, database, user, password and port it is given and appends the connect options, with
// every ';' turned into a space. So the whole string goes in as the connect options, checked
// and re-quoted here, and the other fields stay empty: service=, sslmode=, sslrootcert=,
// passfile= and every other libpq keyword then reach libpq as written.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "error.h"

namespace rekendo::classroom {

class ConnInfo {
 public:
  using Pair = std::pair<std::string, std::string>;

  // Reads libpq's key=value form: values bare, or in single quotes with \' and \\ inside.
  // Refused (kInvalidInput, with what to write instead): an empty string, a URI
  // (postgresql://…), a pair without '=', an unclosed quote, and any ';' (Qt would turn it
  // into a space on the way to libpq).
  static Result<ConnInfo> Parse(std::string_view text);

  const std::vector<Pair>& pairs() const { return pairs_; }
  // The value of `key`, empty when it is not there; Has tells the two apart.
  std::string Get(std::string_view key) const;
  bool Has(std::string_view key) const;
  // Sets `key` (replacing an earlier value) or adds it at the end.
  void Set(std::string key, std::string value);
  // Adds `key` only when the string does not say it.
  void SetDefault(std::string key, std::string value);

  // Time limits that keep a worker from waiting forever on a server that went away
  // (connect_timeout, TCP keepalives, tcp_user_timeout) and application_name=rekendo, each
  // unless the string sets it.
  ConnInfo WithDefaults() const;

  // key='value' pairs separated by spaces, every value quoted: what QPSQL's connect options
  // take. Never holds a ';'.
  std::string ToConnectOptions() const;
  // The same without any password, for messages.
  std::string Describe() const;

 private:
  std::vector<Pair> pairs_;
};

}  // namespace rekendo::classroom
