#include "store/windows_path.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

namespace cl::store {

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The existing entry of dir whose name equals segment ignoring case, else segment itself.
std::string resolveSegment(const std::filesystem::path& dir, const std::string& segment) {
    std::error_code ec;
    if (std::filesystem::exists(dir / segment, ec)) return segment;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        std::string name = entry.path().filename().string();
        if (sameIgnoringCase(name, segment)) return name;
    }
    return segment;
}

}  // namespace

WindowsPathMapper::WindowsPathMapper(std::filesystem::path root, char currentDrive)
    : root_(std::move(root)),
      drive_(static_cast<char>(std::toupper(static_cast<unsigned char>(currentDrive)))) {}

std::filesystem::path WindowsPathMapper::map(const std::string& windowsPath) const {
    std::string rest = windowsPath;
    char drive = drive_;
    if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]))) {
        drive = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
        rest = rest.substr(2);
    }
    std::vector<std::string> segments;
    std::string current;
    for (char c : rest) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) segments.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) segments.push_back(current);

    std::filesystem::path out = root_ / std::string(1, drive);
    for (const auto& seg : segments) {
        if (seg == "." || seg == "..") continue;  // stay inside the root
        out /= resolveSegment(out, seg);
    }
    return out;
}

std::filesystem::path defaultRoot() {
    if (const char* env = std::getenv("CONTROLLO_LISTINO_ROOT"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::filesystem::path(xdg) / "controllo-listino";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : ".") / ".local/share/controllo-listino";
}

}  // namespace cl::store
