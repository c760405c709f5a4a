#include "pricelist/sheet.h"

#include <algorithm>

namespace cl::pricelist {

bool SheetRow::empty() const {
    return std::all_of(cells.begin(), cells.end(), [](const Cell& c) { return c.empty(); });
}

size_t Sheet::columnCount() const {
    size_t n = 0;
    for (const auto& r : rows) n = std::max(n, r.cells.size());
    return n;
}

namespace {
// Length of the blank at the start of s (0 when none).
size_t blankAt(const std::string& s, size_t i) {
    if (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n') return 1;
    if (s.compare(i, 2, "\xC2\xA0") == 0) return 2;  // no-break
    if (s.compare(i, 3, "\xE2\x80\xAF") == 0 || s.compare(i, 3, "\xE2\x80\x89") == 0) return 3;
    return 0;
}
}  // namespace

std::string cellQuote(const std::string& text) {
    constexpr size_t kMaxChars = 80;
    size_t chars = 0, i = 0;
    for (; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a letter
        if (chars++ == kMaxChars) break;
    }
    return "«" + text.substr(0, i) + (i < text.size() ? "…»" : "»");
}

std::string trimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e) {
        size_t n = blankAt(s, b);
        if (!n) break;
        b += n;
    }
    while (e > b) {
        size_t n = 0;
        for (size_t k : {1, 2, 3})
            if (e >= b + k && blankAt(s, e - k) == k) n = k;
        if (!n) break;
        e -= n;
    }
    return s.substr(b, e - b);
}

std::string columnLetters(size_t index) {
    std::string out;
    ++index;
    while (index > 0) {
        --index;
        out.insert(out.begin(), char('A' + index % 26));
        index /= 26;
    }
    return out;
}

std::optional<size_t> columnIndex(const std::string& letters) {
    if (letters.empty() || letters.size() > 3) return std::nullopt;
    size_t n = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return std::nullopt;
        n = n * 26 + size_t(c - 'A' + 1);
    }
    return n - 1;
}

}  // namespace cl::pricelist
