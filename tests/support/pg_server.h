#pragma once
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace cl::test {

// A PostgreSQL server of the test's own: a cluster made by initdb in a temporary folder,
// listening only on a Unix socket inside that folder, stopped and removed at the end. Nothing
// outside the machine, no fixed port. PostgreSQL refuses to run as root, so under root the
// cluster belongs to an unprivileged account ("postgres" when the package made it, else
// "nobody").
class PgServer {
  public:
    // Throws std::runtime_error with the tool's own output when the server cannot start.
    PgServer();
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // A libpq connection string for one database of the cluster.
    std::string conninfo(const std::string& database = "postgres") const;
    const std::filesystem::path& folder() const { return folder_; }

    // The folder holding initdb and pg_ctl; empty when PostgreSQL is not installed.
    static std::filesystem::path binDir();

  private:
    void run(const std::string& tool, const std::vector<std::string>& args) const;
    std::filesystem::path bin_, folder_, data_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool started_ = false;
};

}  // namespace cl::test
