#pragma once
// A PostgreSQL server of the test's own (scripts/pg-scratch-server) in a
// temporary directory, stopped and removed at the end. A server that cannot
// be started fails the test that wanted it: no test passes without one.
#include <string>

namespace lw::test {

class PgScratchServer {
 public:
  PgScratchServer();  // starts it; a failure is reported to the running test
  ~PgScratchServer();
  PgScratchServer(const PgScratchServer&) = delete;
  PgScratchServer& operator=(const PgScratchServer&) = delete;

  bool running() const { return running_; }
  // postgresql://lw@/loomwrite?host=DIR
  const std::string& uri() const { return uri_; }
  bool stop();
  bool start();

 private:
  bool run(const std::string& action, std::string* out = nullptr);
  std::string parent_, dir_, uri_;
  bool running_ = false;
};

}  // namespace lw::test
