#include "app/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/money.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Parses [sign] digits [. digits] with the given decimal mark, skipping `skip` characters
// among the integer digits. Returns nullopt unless the whole (trimmed) text is consumed.
std::optional<double> parseWhole(const std::string& raw, char decimal, char skip) {
    std::string t = store::trimmed(raw);
    if (t.empty()) return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
    while (i < t.size() && t[i] == ' ') ++i;
    std::string digits;
    bool any = false, seenDecimal = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (isDigit(c)) {
            digits += c;
            any = true;
        } else if (c == decimal && !seenDecimal) {
            digits += '.';
            seenDecimal = true;
        } else if (c == skip && skip && !seenDecimal) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    if (!any) return std::nullopt;
    double v = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    return negative ? -v : v;
}

std::string groupThousands(const std::string& digits) {
    std::string out;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += '.';
        out += digits[static_cast<size_t>(i)];
    }
    return out;
}

}  // namespace

double leadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digitsFrom = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i;
    }
    std::string part = text.substr(start, i - start);
    if (i == digitsFrom || part == "." || part == "-." || part == "+.") return 0;
    double v = std::strtod(part.c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

std::optional<double> localeNumber(const std::string& text) {
    return parseWhole(text, ',', '.');
}

double requireLocaleNumber(const std::string& text, const std::string& fieldCaption) {
    auto v = localeNumber(text);
    if (!v)
        throw Error("Attenzione ... Il valore \"" + text + "\" di " + fieldCaption +
                        " non è un numero valido.",
                    ErrorKind::InvalidInput);
    return *v;
}

std::optional<double> lastSeparatorNumber(const std::string& text) {
    auto dot = text.rfind('.'), comma = text.rfind(',');
    bool dotDecimal = dot != std::string::npos && (comma == std::string::npos || dot > comma);
    return dotDecimal ? parseWhole(text, '.', ',') : parseWhole(text, ',', '.');
}

std::optional<long long> wholeNumber(const std::string& text) {
    std::string t = store::trimmed(text);
    if (t.empty() || t.size() > 12) return std::nullopt;
    size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (i == t.size()) return std::nullopt;
    for (size_t j = i; j < t.size(); ++j)
        if (!isDigit(t[j])) return std::nullopt;
    long long v = std::strtoll(t.c_str(), nullptr, 10);
    if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
    return v;
}

std::string localeText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

std::string normalizza(const store::Value& value, bool implicito) {
    if (value.isNull()) return {};
    std::string t = value.isText() ? value.text() : localeText(value.number());
    // The value's own text with "." read as the decimal point when it comes last.
    auto swapIfDotLast = [](std::string s, bool swapBoth) {
        auto dot = s.rfind('.'), comma = s.rfind(',');
        if (dot != std::string::npos && (comma == std::string::npos || dot > comma)) {
            for (char& c : s) {
                if (c == '.')
                    c = ',';
                else if (c == ',' && swapBoth)
                    c = '.';
            }
        }
        return s;
    };
    // The key handlers' own test: what passes here is read back below.
    if (!isNumber(t)) return swapIfDotLast(t, false);

    size_t len = store::charCount(t);
    if (implicito && t.find_first_of(".,") == std::string::npos && len > 1) {
        double v = *localeNumber(t);
        if (len == 3)
            t = localeText(v / 100);
        else if (len == 4)
            t = localeText(v / 1000);
        else if (len == 5)
            t = localeText(v / 10000);
    }
    t = swapIfDotLast(t, true);
    auto v = localeNumber(t);
    return v ? formatNumber(*v, "#,###,##0.0000") : t;
}

int correzione_centesimi(int d) {
    if (d == 1 || d == 2) return -d;
    if (d >= 3 && d <= 7) return 5 - d;
    if (d == 8 || d == 9) return 10 - d;
    return 0;
}

std::string formatNumber(double value, const std::string& pattern) {
    auto point = pattern.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
    std::string intPattern = pattern.substr(0, point);
    bool grouping = intPattern.find(',') != std::string::npos;
    size_t minDigits = 0;
    for (char c : intPattern)
        if (c == '0') ++minDigits;

    double r = roundHalfAway(value, decimals);
    if (!std::isfinite(r)) return localeText(value);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(r));
    std::string digits = buf;
    auto dot = digits.find('.');
    std::string whole = digits.substr(0, dot);
    std::string frac = dot == std::string::npos ? "" : digits.substr(dot + 1);
    if (whole == "0" && minDigits == 0) whole.clear();
    while (whole.size() < minDigits) whole = "0" + whole;
    std::string out = grouping ? groupThousands(whole) : whole;
    if (decimals > 0) out += "," + frac;
    bool zero = digits.find_first_not_of("0.") == std::string::npos;
    if (!zero && r < 0) out = "-" + out;
    return out;
}

std::string plainNumber(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return buf;
}

std::string formatDate(const std::string& iso) {
    if (iso.size() >= 10 && iso[4] == '-' && iso[7] == '-')
        return iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4);
    return iso;
}

std::string formatDateTime(const std::string& iso) {
    if (iso.size() == 10) return formatDate(iso);
    // "YYYY-MM-DD HH:MM[:SS]" (or with "T"): seconds are not shown anywhere.
    const bool moment = iso.size() >= 16 && iso[4] == '-' && iso[7] == '-' &&
                        (iso[10] == ' ' || iso[10] == 'T') && iso[13] == ':';
    return moment ? formatDate(iso.substr(0, 10)) + " " + iso.substr(11, 5) : iso;
}

std::string byCount(long long n, const std::string& one, const std::string& many) {
    return n == 1 || n == -1 ? one : many;
}

std::string counted(long long n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + byCount(n, one, many);
}

}  // namespace cl
