#include "demo/ean.h"

#include "store/error.h"

namespace cl::demo {

namespace {
bool allDigits(const std::string& s) {
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
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

}  // namespace cl::demo
