#pragma once
#include <optional>
#include <string>

namespace cl::app {

// EAN-13: the check digit of the first twelve digits (weights 1 and 3 from the left).
char eanCheckDigit(const std::string& first12);
// The twelve digits followed by their check digit.
std::string ean13(const std::string& first12);
// Thirteen digits whose last one is the right check digit.
bool isValidEan13(const std::string& code);

// A barcode as a supplier's file writes it (EAN-8, UPC-A of 12 digits, EAN-13, GTIN-14) with
// the right check digit; a GTIN-14 only when it is an EAN-13 behind a zero, which it gives. nullopt
// otherwise: a wrong check digit, another length, a number a spreadsheet wrote with an exponent.
std::optional<std::string> storeEan(const std::string& digits);

}  // namespace cl::app
