#pragma once
#include <optional>
#include <string>

#include "store/value.h"

namespace cl {

// Leading number: after leading blanks, the longest leading part that forms a number with "."
// as decimal point; 12,5 gives 12, an empty or non-numeric text gives 0.
double leadingNumber(const std::string& text);
// Locale number: "," is the decimal separator, "." a thousands separator that is skipped
// (1.234,5 -> 1234.5; 12.5 -> 125). Empty or not a number -> nullopt.
std::optional<double> localeNumber(const std::string& text);
// Whichever of "." and "," comes last is the decimal separator (as normalizza decides):
// 5.5 and 5,5 are both five and a half; 1.234,5 and 1,234.5 are 1234.5.
std::optional<double> lastSeparatorNumber(const std::string& text);
// The test the key handlers make before normalizza, and the way a typed field is read: the
// text reads as a number with whichever separator comes last as the decimal one, so that
// everything normalizza turns into a number passes and nothing else does (1,234.5 passes;
// 1.234.567 does not, as normalizza could not read it back).
inline bool isNumber(const std::string& text) {
    return lastSeparatorNumber(text).has_value();
}
// Locale number, or an Italian error naming the field when it is not one.
double requireLocaleNumber(const std::string& text, const std::string& fieldCaption);
// A whole number (optional sign, digits, blanks around); nullopt otherwise or out of 32 bits.
std::optional<long long> wholeNumber(const std::string& text);

// Turns a typed number into the system's display text (four decimals, Italian separators),
// with implicit decimals when `implicito` is on (250 -> 2,5000).
std::string normalizza(const store::Value& value, bool implicito);
// Cents to add so that a price ends on 0 or 5 cents, given its second decimal digit.
int correzione_centesimi(int d);

// Display formats of the screens: "#,##0.00", "##0.0000", "###,##0.000", "#,###,##0.0000",
// "00", "000000", "000000000", ... Italian separators, ties away from zero.
std::string formatNumber(double value, const std::string& pattern);
// Shortest plain text with "." (for CSV and SQL-free text): 12.5, 3, -0.25.
std::string plainNumber(double value);
// The text of a number as the Italian locale writes it without a format: 2,5 / 1234,5 / 3.
std::string localeText(double value);
// "2026-12-08" -> "08/12/2026"; other texts unchanged.
std::string formatDate(const std::string& iso);
// A moment as every screen, question and printed list shows it: "2026-12-09 17:47:07" ->
// "09/12/2026 17:47"; a date alone as formatDate; other texts unchanged.
std::string formatDateTime(const std::string& iso);

// Italian agreement with a count: the singular form for 1 (and -1), the plural otherwise.
// byCount(n, "è stato modificato", "sono stati modificati").
std::string byCount(long long n, const std::string& one, const std::string& many);
// The count with its noun: "1 articolo", "3 articoli", "0 articoli".
std::string counted(long long n, const std::string& one, const std::string& many);

}  // namespace cl
