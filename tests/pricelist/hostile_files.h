#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace cl::test {

// A file made the way suppliers, spreadsheets or an attacker make them, written into a folder
// when a test asks for it (the big ones are never kept in the repository).
struct HostileFile {
    std::string name;
    std::function<std::filesystem::path(const std::filesystem::path& dir)> make;
};

// Every kind of hostile supplier file the reader is tried with.
std::vector<HostileFile> hostileFiles();

// A CSV price list of `rows` articles with right EANs, written row by row.
std::filesystem::path writeBigCsv(const std::filesystem::path& file, long long rows);

}  // namespace cl::test
