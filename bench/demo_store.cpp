// Times the demo store and reports the sizes of its files.
// Usage: bench_demo_store [ARTICLES...]   (default 10000 100000)
#include "demo/demo_store.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<long long> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::stoll(argv[i]));
    if (sizes.empty()) sizes = {10000, 100000};
    for (long long n : sizes) {
        auto root = fs::temp_directory_path() / ("cl-bench-demo-" + std::to_string(getpid()));
        fs::remove_all(root);
        cl::Session session(root, 'C');
        cl::NullProgress progress;
        cl::demo::DemoOptions options;
        options.articles = n;
        auto start = std::chrono::steady_clock::now();
        auto summary = cl::demo::createDemo(session, options, false, progress);
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("demo %lld articoli: %.2f s", n, seconds);
        for (const auto& f : summary.files)
            std::printf(", %s %.0f kB", f.windowsPath.c_str(),
                        static_cast<double>(fs::file_size(f.host)) / 1e3);
        std::printf("\n");
        fs::remove_all(root);
    }
    return 0;
}
