#pragma once
#include <cctype>
#include <string>

namespace cl::test {

// Whether `text` holds a moment as the grid writes it ("09/12/2026 17:47") right after `before`
// and followed by `after`. No std::regex: GCC 12 warns inside <regex> under the sanitizer build.
inline bool holdsMoment(const std::string& text, const std::string& before,
                        const std::string& after) {
    const std::string shape = "dd/dd/dddd dd:dd";
    for (size_t at = text.find(before); at != std::string::npos; at = text.find(before, at + 1)) {
        const size_t from = at + before.size();
        if (from + shape.size() + after.size() > text.size()) continue;
        bool fits = true;
        for (size_t i = 0; i < shape.size() && fits; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[from + i]);
            fits = shape[i] == 'd' ? std::isdigit(c) != 0 : text[from + i] == shape[i];
        }
        if (fits && text.compare(from + shape.size(), after.size(), after) == 0) return true;
    }
    return false;
}

}  // namespace cl::test
