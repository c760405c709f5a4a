#pragma once
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace cl::test {

// The built program (CL_BINARY), or null when the tests run without it.
const char* programPath();

struct CliResult {
    int exitCode = -1;  // -1: ended by a signal
    int signal = 0;
    std::string out, err;
};

// Runs the program with --root ROOT --today 2026-12-08 before the given words.
CliResult runProgram(const std::filesystem::path& root, const std::vector<std::string>& words,
                     bool yes = true);
// Starts any command line (found on PATH when not a path) with its output going to files.
pid_t spawnCommand(std::vector<std::string> words, const std::string& out, const std::string& err);
// Starts it without waiting, output discarded.
pid_t startProgram(const std::filesystem::path& root, const std::vector<std::string>& words,
                   bool yes = true);

// Every database under the root, as "file" -> content digest of each table. Opening read-write
// rolls back whatever a killed process left in a hot journal, as the program itself does.
// Problems of PRAGMA integrity_check are appended to `integrity`.
std::map<std::string, std::string> databaseContents(const std::filesystem::path& root,
                                                    std::string& integrity);
void copyTree(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace cl::test
