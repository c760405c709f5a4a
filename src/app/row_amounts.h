#pragma once
#include <optional>

#include "app/money.h"
#include "store/value.h"

namespace cl {

// Amounts as rows hold them: a number field read as Money (rounded to 4 decimals, ties to
// even) and written back. Beyond what Money holds throws AmountError.

// An empty field reads as 0.
Money moneyOf(const store::Value& field);
// An empty field stays empty (a price not set, a journal copy without the row).
std::optional<Money> optionalMoney(const store::Value& field);
// The amount as a row's number field.
store::Value amountValue(Money amount);
// A field's amount to 4 decimals; an empty field stays empty.
store::Value amountValue(const store::Value& field);

}  // namespace cl
