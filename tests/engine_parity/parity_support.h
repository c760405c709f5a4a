#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/session.h"
#include "store/database.h"
#include "support/temp_dir.h"

namespace cl::test {

// What a command line printed and how it ended.
struct CommandResult {
    int exitCode = 0;
    std::string out, err;
};

// One store installation made from the demo store: on SQLite files under its root, or copied
// into a fresh database of the test server (its files then removed, so that nothing the
// commands do can reach them).
class Installation {
  public:
    explicit Installation(bool onServer);
    TempDir dir;
    Session session;

    bool onServer() const { return session.onServer(); }
    // Runs a command line (the words after the program name) in this process, answering Yes to
    // every question, on this installation.
    CommandResult run(const std::vector<std::string>& words);
    // A connection to one database of the installation ("main", "fisso", "suite", "storia");
    // null for a journal that was never written on files.
    std::unique_ptr<store::Database> open(const std::string& part);
};

// What differs between the two installations, table by table and value by value (money to the
// hundredth of a cent, the journal's times left out): one line per difference, at most a few a
// table, naming the table, the row, the column and both values. Empty when they hold the same.
std::vector<std::string> installationDifferences(Installation& files, Installation& server);

// A command's output with the installation's own folder and the times of day taken out.
std::string comparable(const std::string& text, const Installation& where);

}  // namespace cl::test
