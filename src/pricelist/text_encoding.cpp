#include "pricelist/text_encoding.h"

#include <cstdint>

namespace cl::pricelist {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// 0x80 to 0x9F of Windows-1252 (0 where the code page leaves a hole: kept as the C1 control).
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string utf16ToUtf8(std::string_view b, bool bigEndian) {
    std::string out;
    out.reserve(b.size());
    for (size_t i = 0; i + 1 < b.size(); i += 2) {
        auto unit = [&](size_t k) -> char16_t {
            auto hi = uint8_t(b[k + (bigEndian ? 0 : 1)]), lo = uint8_t(b[k + (bigEndian ? 1 : 0)]);
            return char16_t(hi << 8 | lo);
        };
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < b.size()) {
            char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace

bool isValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = uint8_t(s[i]);
        size_t n = c < 0x80             ? 0
                   : (c & 0xE0) == 0xC0 ? 1
                   : (c & 0xF0) == 0xE0 ? 2
                   : (c & 0xF8) == 0xF0 ? 3
                                        : 9;
        if (n == 9 || c == 0xC0 || c == 0xC1 || c > 0xF4 || i + n >= s.size() + (n ? 0 : 1))
            return false;
        char32_t cp = n == 0 ? c : c & (0x3F >> n);
        for (size_t k = 1; k <= n; ++k) {
            auto d = uint8_t(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = cp << 6 | (d & 0x3F);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp < 0xE000))
            return false;
        i += n + 1;
    }
    return true;
}

std::string windows1252ToUtf8(std::string_view b) {
    std::string out;
    out.reserve(b.size() + b.size() / 8);
    for (char ch : b) {
        auto c = uint8_t(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0 && kHigh[c - 0x80])
            appendUtf8(out, kHigh[c - 0x80]);
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string toUtf8(std::string_view b) {
    if (b.substr(0, 3) == "\xEF\xBB\xBF")
        b.remove_prefix(3);
    else if (b.substr(0, 2) == "\xFF\xFE")
        return utf16ToUtf8(b.substr(2), false);
    else if (b.substr(0, 2) == "\xFE\xFF")
        return utf16ToUtf8(b.substr(2), true);
    if (isValidUtf8(b)) return std::string(b);
    return windows1252ToUtf8(b);
}

}  // namespace cl::pricelist
