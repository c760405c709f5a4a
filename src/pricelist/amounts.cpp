#include "pricelist/amounts.h"

#include <charconv>
#include <cmath>

namespace cl::pricelist {

namespace {

bool startsWithNoCase(const std::string& s, size_t at, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (at + k >= s.size() || std::toupper(static_cast<unsigned char>(s[at + k])) != word[k])
            return false;
    return true;
}

// The sign and the digits with their separators, without blanks and currency; empty when the
// text holds anything else.
std::string numberPart(const std::string& text, bool& negative) {
    std::string s = trimBlanks(text);
    std::string out;
    negative = false;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isdigit(c) || c == '.' || c == ',') {
            out += char(c);
            ++i;
        } else if ((c == '-' || c == '+') && out.empty() && !negative) {
            negative = c == '-';
            ++i;
        } else if (s.compare(i, 3, "\xE2\x82\xAC") == 0) {  // euro sign
            i += 3;
        } else if (startsWithNoCase(s, i, "EUR")) {
            i += 3;
        } else if (c == ' ' || c == '\t') {
            ++i;
        } else if (s.compare(i, 2, "\xC2\xA0") == 0) {  // no-break space
            i += 2;
        } else if (s.compare(i, 3, "\xE2\x80\xAF") == 0) {  // narrow no-break space
            i += 3;
        } else {
            return {};
        }
    }
    bool digit = false;
    for (char c : out) digit = digit || std::isdigit(static_cast<unsigned char>(c));
    return digit ? out : std::string();
}

struct Separators {
    size_t dots = 0, commas = 0;
    char last = 0;
    size_t digitsAfterLast = 0, digitsBeforeFirst = 0;
    bool leadingZero = false;
};

Separators separatorsOf(const std::string& s) {
    Separators r;
    bool seen = false;
    for (char c : s) {
        if (c == '.' || c == ',') {
            (c == '.' ? r.dots : r.commas)++;
            r.last = c;
            r.digitsAfterLast = 0;
            seen = true;
        } else {
            ++r.digitsAfterLast;
            if (!seen) {
                if (r.digitsBeforeFirst == 0) r.leadingZero = c == '0';
                ++r.digitsBeforeFirst;
            }
        }
    }
    return r;
}

// A single separator followed by three digits could be a thousands separator.
bool couldBeThousands(const Separators& s) {
    return s.digitsAfterLast == 3 && s.digitsBeforeFirst >= 1 && s.digitsBeforeFirst <= 3 &&
           !s.leadingZero;
}

}  // namespace

std::optional<NumberStyle> styleOf(const std::string& text) {
    bool negative;
    std::string s = numberPart(text, negative);
    Separators sep = separatorsOf(s);
    if (sep.dots && sep.commas) return sep.last == ',' ? NumberStyle::Italian : NumberStyle::Plain;
    if (sep.commas > 1) return NumberStyle::Plain;
    if (sep.dots > 1) return NumberStyle::Italian;
    if (sep.commas == 1 && !couldBeThousands(sep)) return NumberStyle::Italian;
    if (sep.dots == 1 && !couldBeThousands(sep)) return NumberStyle::Plain;
    return std::nullopt;
}

bool readsBothWays(const std::string& text) {
    auto a = readAmount(text, NumberStyle::Italian), b = readAmount(text, NumberStyle::Plain);
    return a && b && *a != *b;
}

void StyleCount::add(const Cell* c) {
    if (!c || c->number || c->text.empty()) return;
    if (auto s = styleOf(c->text))
        (*s == NumberStyle::Italian ? italian : plain)++;
    else if (twoWays.empty() && readsBothWays(c->text))
        twoWays = c->text;
}

NumberStyle StyleCount::style(NumberStyle fallback) const {
    if (italian == plain) return fallback;
    return italian > plain ? NumberStyle::Italian : NumberStyle::Plain;
}

NumberStyle columnStyle(const std::vector<const Cell*>& cells, NumberStyle fallback) {
    StyleCount count;
    for (const Cell* c : cells) count.add(c);
    return count.style(fallback);
}

std::optional<double> readAmount(const std::string& text, NumberStyle style) {
    bool negative;
    std::string s = numberPart(text, negative);
    if (s.empty()) return std::nullopt;
    Separators sep = separatorsOf(s);
    char decimal = 0;
    if (sep.dots && sep.commas) {
        decimal = sep.last;
        char other = decimal == '.' ? ',' : '.';
        if (s.find(decimal) != s.rfind(decimal) || s.rfind(other) > s.rfind(decimal))
            return std::nullopt;
    } else if (sep.dots == 1 || sep.commas == 1) {
        char c = sep.dots ? '.' : ',';
        bool thousands = couldBeThousands(sep) && ((c == '.' && style == NumberStyle::Italian) ||
                                                   (c == ',' && style == NumberStyle::Plain));
        decimal = thousands ? 0 : c;
    }
    std::string plain;
    for (char c : s) {
        if (c == decimal)
            plain += '.';
        else if (c != '.' && c != ',')
            plain += c;
    }
    if (plain.front() == '.') plain.insert(plain.begin(), '0');
    double v = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(v))
        return std::nullopt;
    return negative ? -v : v;
}

std::optional<double> readAmount(const Cell& cell, NumberStyle style) {
    if (cell.isDate) return std::nullopt;
    if (cell.number) return std::isfinite(*cell.number) ? cell.number : std::nullopt;
    return readAmount(cell.text, style);
}

}  // namespace cl::pricelist
