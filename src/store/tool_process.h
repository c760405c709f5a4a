#pragma once
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace cl::store {

// How an external tool ended: exit code, or the signal that stopped it, and what it wrote on
// its error stream.
struct ToolResult {
    int exitCode = 0;
    int signal = 0;
    std::string errors;
    bool ok() const { return exitCode == 0 && signal == 0 && errors.empty(); }
};

// Runs command-line tools (mdbtools) with an argument vector, never through a shell, so that no
// file or table name is ever interpreted.
class ToolRunner {
  public:
    // toolDir empty: the tools are looked up in PATH.
    explicit ToolRunner(std::filesystem::path toolDir = {},
                        std::map<std::string, std::string> extraEnv = {});

    // Full path of the tool; empty when it is not installed.
    std::filesystem::path find(const std::string& name) const;
    // Streams the standard output to sink as it arrives. Throws cl::Error only when the tool
    // cannot be started at all.
    ToolResult run(const std::string& name, const std::vector<std::string>& args,
                   const std::function<void(std::string_view)>& sink) const;
    // The whole standard output; result in *result.
    std::string capture(const std::string& name, const std::vector<std::string>& args,
                        ToolResult& result) const;

  private:
    std::vector<std::string> environment() const;
    std::filesystem::path dir_;
    std::map<std::string, std::string> extraEnv_;
};

}  // namespace cl::store
