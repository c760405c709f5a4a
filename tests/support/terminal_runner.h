#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/cli_runner.h"

namespace cl::test {

// Runs the program as runProgram does (no --yes), on a terminal of its own, so that it asks its
// questions and waits. Each time its output shows `prompt`, `whileAsked` runs (the question
// still open) and `answer` is typed. Output and errors come back together in `out`.
CliResult runOnTerminal(const std::filesystem::path& root, const std::vector<std::string>& words,
                        const std::string& prompt, const std::function<void()>& whileAsked,
                        const std::string& answer);

}  // namespace cl::test
