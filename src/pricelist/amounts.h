#pragma once
#include <optional>
#include <string>
#include <vector>

#include "pricelist/sheet.h"

namespace cl::pricelist {

// How a column writes its amounts: "1.234,56" (Italian) or "1,234.56" / "1234.56" (plain).
enum class NumberStyle { Italian, Plain };

// What a text alone says about its style; nullopt when it could be either ("1.234", "12").
std::optional<NumberStyle> styleOf(const std::string& text);
// True when the text gives two different amounts in the two styles ("1.250": 1250 or 1,25).
bool readsBothWays(const std::string& text);
// What a column's texts say of their style, gathered one cell at a time.
struct StyleCount {
    long italian = 0, plain = 0;
    std::string twoWays;  // the first text read two ways ("1.250"); empty: none
    void add(const Cell* cell);
    NumberStyle style(NumberStyle fallback) const;
    // No text tells the style and some read two ways: the amounts cannot be read with certainty.
    bool ambiguous() const { return italian == 0 && plain == 0 && !twoWays.empty(); }
};

// The style most of the column's texts show; the fallback when none tells.
NumberStyle columnStyle(const std::vector<const Cell*>& cells, NumberStyle fallback);

// An amount as a supplier writes it: blanks, a euro sign or "EUR" around it, an optional sign,
// thousands separators. A text that is anything else gives nullopt.
std::optional<double> readAmount(const std::string& text, NumberStyle style);
// A spreadsheet number as it is; a date is not an amount.
std::optional<double> readAmount(const Cell& cell, NumberStyle style);

}  // namespace cl::pricelist
