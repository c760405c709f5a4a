#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "demo/demo_model.h"

namespace cl::demo {

// A database of the demo: its Windows path as the data name it, and where it lies here.
struct DemoFile {
    std::string windowsPath;
    std::filesystem::path host;
};

struct DemoSummary {
    DemoModel model;              // the counts; rows are not kept
    std::vector<DemoFile> files;  // store, central articles, suite, template
};

// Where the demo store lives: the suite's company points to it.
std::string demoStorePath(char drive);

// Creates the three databases and the suite template filled with a demo food store. Every
// file is written under a temporary name and moved into place at the end, so a failure leaves
// nothing half made. Existing files are replaced only with `replace`; an Access file never.
DemoSummary createDemo(Session& session, const DemoOptions& options, bool replace,
                       Progress& progress);

}  // namespace cl::demo
