#pragma once
#include <string>

namespace cl::review {

// How the report writes its values, as the printer's own number output does.

// A number printed as a number: a blank (or the minus sign) in front and a trailing blank.
std::string numberAsPrinted(double value);

// Blanks that right-align an amount in its cell: n = characters of the amount rounded down to
// a whole number (minus sign included); 6 - n blanks below 4 characters, 6 - n - 1 from 4 on.
// Amounts too wide for the rule (six characters or more) get no blank rather than a negative
// count.
int amountBlanks(double amount);

// The amount cell: its blanks, then the amount as "###,##0.00".
std::string amountCell(double amount);

}  // namespace cl::review
