#include "app/ean.h"

#include "store/error.h"

namespace cl::app {

namespace {
bool allDigits(const std::string& s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
}

// Any GTIN (8, 12, 13, 14 digits): weights 3 and 1 from the right, the check digit excluded.
bool checkDigitHolds(const std::string& code) {
    int sum = 0;
    const size_t n = code.size() - 1;
    for (size_t i = 0; i < n; ++i) sum += (code[n - 1 - i] - '0') * (i % 2 == 0 ? 3 : 1);
    return code[n] - '0' == (10 - sum % 10) % 10;
}
}  // namespace

char eanCheckDigit(const std::string& first12) {
    if (first12.size() != 12 || !allDigits(first12))
        throw Error("Codice EAN non valido: servono 12 cifre (" + first12 + ").",
                    ErrorKind::InvalidInput);
    int sum = 0;
    for (size_t i = 0; i < 12; ++i) sum += (first12[i] - '0') * (i % 2 == 0 ? 1 : 3);
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string ean13(const std::string& first12) {
    return first12 + eanCheckDigit(first12);
}

bool isValidEan13(const std::string& code) {
    return code.size() == 13 && allDigits(code) && eanCheckDigit(code.substr(0, 12)) == code[12];
}

std::optional<std::string> storeEan(const std::string& digits) {
    const size_t n = digits.size();
    if (!allDigits(digits) || (n != 8 && n != 12 && n != 13 && n != 14)) return std::nullopt;
    if (!checkDigitHolds(digits)) return std::nullopt;
    if (n == 14) {
        if (digits[0] != '0') return std::nullopt;  // a carton's code: no article of the store
        return digits.substr(1);
    }
    return digits;
}

}  // namespace cl::app
