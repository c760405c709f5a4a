#include "app/row_amounts.h"

namespace cl {

Money moneyOf(const store::Value& field) {
    return field.isNull() ? Money() : Money::fromDouble(field.number());
}

std::optional<Money> optionalMoney(const store::Value& field) {
    if (field.isNull()) return std::nullopt;
    return Money::fromDouble(field.number());
}

store::Value amountValue(Money amount) {
    return store::Value(amount.toDouble());
}

store::Value amountValue(const store::Value& field) {
    return field.isNull() ? field : amountValue(moneyOf(field));
}

}  // namespace cl
