#include "store/fixed_text.h"

namespace cl::store {

namespace {
// Byte offset of the n-th UTF-8 character (or the end).
size_t byteOffset(const std::string& s, size_t n) {
    size_t i = 0, count = 0;
    while (i < s.size() && count < n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
        ++count;
    }
    return i;
}
}  // namespace

size_t charCount(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string firstChars(const std::string& text, size_t n) {
    return text.substr(0, byteOffset(text, n));
}

std::string fixedWidth(const std::string& text, size_t width) {
    std::string out = firstChars(text, width);
    size_t have = charCount(out);
    if (have < width) out.append(width - have, ' ');
    return out;
}

std::string trimmed(const std::string& text) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

std::string rtrimmed(const std::string& text) {
    size_t e = text.find_last_not_of(' ');
    return e == std::string::npos ? std::string() : text.substr(0, e + 1);
}

std::string asciiFolded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool sameTrimmed(const std::string& a, const std::string& b) {
    return trimmed(a) == trimmed(b);
}

}  // namespace cl::store
