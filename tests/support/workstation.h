#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>

#include "support/other_process.h"

namespace cl::test {

// Another workstation: a process of its own, forked from the test, with its own connections.
// `work` runs there once the test calls go() (all workstations of a test start together) and
// returns what the workstation said; a thrown failure reports its message, prefixed "ERRORE: ".
class Workstation {
  public:
    explicit Workstation(std::function<std::string()> work);
    ~Workstation();
    Workstation(const Workstation&) = delete;
    Workstation& operator=(const Workstation&) = delete;

    void go();
    // Waits for the end; what `work` returned (or the failure), "" when the process died.
    std::string finish();
    pid_t pid() const { return pid_; }
    // SIGKILL, as a power cut or the task manager would.
    void kill();

  private:
    pid_t pid_ = -1;
    int startPipe_ = -1, reportPipe_ = -1;
    bool finished_ = false, killed_ = false;
};

// Writes `sql` on the server database `conninfo`, in schema `schema`, from another process in
// one write transaction, and waits for it (see writeFromAnotherProcess).
OtherWrite writeOnServerFromAnotherProcess(const std::string& conninfo, const std::string& schema,
                                           const std::string& sql);

// A copy of a whole server database (every schema, the row numbering included) under the name
// `copy`; its connection string. Nobody may be connected to the original meanwhile.
std::string copyServerDatabase(const std::string& conninfo, const std::string& copy);
// Drops a server database, ending the connections still open to it.
void dropServerDatabase(const std::string& conninfo);

// Every row of every table of the store and article schemas, as text by table: what two runs
// must leave equal. The journal keeps clock times and stays out.
std::map<std::string, std::string> storeTables(const std::string& conninfo);

}  // namespace cl::test
