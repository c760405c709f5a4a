#include "history/label_reader.h"

#include "app/numbers.h"
#include "app/row_amounts.h"
#include "store/fixed_text.h"

namespace cl::history {

LabelReader::LabelReader(store::Database& db)
    // The primary barcode first, then any other, then one without the mark; the oldest of each.
    : ean_(db.prepare("SELECT eanare FROM main.codean WHERE codare = ? ORDER BY CASE WHEN "
                      "primasecon = 'P' THEN 0 WHEN primasecon IS NULL THEN 2 ELSE 1 END, " +
                      db.rowIdentity() + " LIMIT 1")),
      unit_(db.prepare("SELECT fatxmul, umrife FROM main.unitam WHERE coduni = ? OR coduni = ? "
                       "ORDER BY coduni, " +
                       db.rowIdentity())) {}

Label LabelReader::read(store::Query& st, int first) {
    Label l;
    l.article = st.value(first).integer();
    l.description = store::rtrimmed(st.value(first + 1).text());
    l.newPrice = moneyOf(st.value(first + 2));
    double offer = st.value(first + 5).number();
    if (offer > 0) l.offerPrice = Money::fromDouble(offer);
    l.unit = store::trimmed(st.value(first + 6).text());
    l.department = st.value(first + 7).integer();
    l.departmentName = store::trimmed(st.value(first + 8).text());
    ean_.reset().bind(1, store::Value(l.article));
    if (ean_.step()) l.ean = store::rtrimmed(ean_.value(0).text());
    ean_.reset();
    unitPrices(l, st.value(first + 3).number(), st.value(first + 4).text());
    return l;
}

// The shelf shows the price per reference unit of the content (per litre for 500 ML):
// price / (content / multiplier of the content's unit), where the content is known.
void LabelReader::unitPrices(Label& l, double content, const std::string& contentUnit) {
    l.unitPrice.reset();
    l.offerUnitPrice.reset();
    unit_.reset().bindAll(store::fixedWidth(contentUnit, 2), store::trimmed(contentUnit));
    if (content > 0 && unit_.step()) {
        double factor = leadingNumber(unit_.value(0).text());
        if (factor > 0) {
            auto per = [&](const Money& m) {
                return Money::fromDouble(m.toDouble() / (content / factor)).round2();
            };
            l.unitPrice = per(l.newPrice);
            if (l.offerPrice) l.offerUnitPrice = per(*l.offerPrice);
            l.referenceUnit = store::trimmed(unit_.value(1).text());
        }
    }
    unit_.reset();
}

}  // namespace cl::history
