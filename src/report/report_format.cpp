#include "report/report_format.h"

#include <algorithm>
#include <cmath>

#include "app/money.h"
#include "app/numbers.h"

namespace cl::review {

std::string numberAsPrinted(double value) {
    return (value < 0 ? "-" : " ") + localeText(std::fabs(value)) + " ";
}

int amountBlanks(double amount) {
    // Amounts are money of four decimals: 3 read back as 2.99999... still counts as 3.
    const auto whole = static_cast<long long>(std::floor(roundHalfEven(amount, 4)));
    const int n = static_cast<int>(std::to_string(whole).size());
    const int blanks = n < 4 ? 6 - n : 6 - n - 1;
    return std::max(0, blanks);
}

std::string amountCell(double amount) {
    return std::string(static_cast<size_t>(amountBlanks(amount)), ' ') +
           formatNumber(amount, "###,##0.00");
}

}  // namespace cl::review
