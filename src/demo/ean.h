#pragma once
#include <string>

namespace cl::demo {

// EAN-13: the check digit of the first twelve digits (weights 1 and 3 from the left).
char eanCheckDigit(const std::string& first12);
// The twelve digits followed by their check digit.
std::string ean13(const std::string& first12);
// Thirteen digits whose last one is the right check digit.
bool isValidEan13(const std::string& code);

}  // namespace cl::demo
