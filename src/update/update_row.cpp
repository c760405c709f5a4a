#include <cmath>

#include "app/money.h"
#include "app/numbers.h"
#include "app/row_amounts.h"
#include "store/error.h"
#include "store/fixed_text.h"
#include "update/update_work.h"

namespace cl::review {

namespace {
// In the order of UpdateRow's members.
const char* const kAliases[] = {
    "CodArt",          "Ean",         "Descrizione", "UM",         "Iva",    "CostoN", "MarN",
    "PrezzoN",         "PrezzoV",     "Datagg",      "CodiceForn", "codrep", "codgru", "codsot",
    "Gruppo",          "Sottogruppo", "imbart",      "pezzatura",  "umconf", "codfor", "tipart",
    "modificatoamano", "bns",         "CostoV"};
constexpr size_t kCount = sizeof kAliases / sizeof kAliases[0];
}  // namespace

UpdateRowReader::UpdateRowReader(const store::Query& walk) {
    for (const char* alias : kAliases) {
        int i = walk.columnIndex(alias);
        if (i < 0) throw Error(std::string("Colonna \"") + alias + "\" mancante nella revisione.");
        columns_.push_back(i);
    }
}

UpdateRow UpdateRowReader::read(const store::Query& walk) const {
    UpdateRow r;
    store::Value* fields[kCount] = {&r.codart,      &r.ean,
                                    &r.descrizione, &r.um,
                                    &r.iva,         &r.costoN,
                                    &r.marN,        &r.prezzoN,
                                    &r.prezzoV,     &r.datagg,
                                    &r.codiceForn,  &r.codrep,
                                    &r.codgru,      &r.codsot,
                                    &r.gruppo,      &r.sottogruppo,
                                    &r.imbart,      &r.pezzatura,
                                    &r.umconf,      &r.codfor,
                                    &r.tipart,      &r.modificatoamano,
                                    &r.bns,         &r.costoV};
    for (size_t i = 0; i < kCount; ++i) *fields[i] = walk.value(columns_[i]);
    return r;
}

std::string eanOf(const store::Value& ean) {
    std::string t = store::trimmed(ean.text());
    return t.empty() ? kNoEan : store::fixedWidth(ean.text(), 13);
}

double vatInclusiveCost(const store::Value& cost, long long vat) {
    if (vat == 0) return 0;
    Money c = moneyOf(cost);
    if (vat >= 50) return c.toDouble();
    return c.plusPercent(Money::fromInt(vat)).toDouble();
}

long long vatPercent(const store::Value& iva) {
    double v = iva.isText() ? leadingNumber(iva.text()) : iva.number();
    return static_cast<long long>(std::trunc(v));
}

WorkArea freshWorkArea(const UpdateRun& run, const UpdateRow& row) {
    WorkArea w;
    w.gean = eanOf(row.ean);
    w.gcodafo = store::fixedWidth(row.codiceForn.text(), 16);
    w.codiceFornitore = row.codfor.isNull() ? run.codiceFornitore : row.codfor.integer();
    w.iva = row.iva.isNull() ? 0 : vatPercent(row.iva);
    w.gcosiva = vatInclusiveCost(row.costoN, w.iva);
    return w;
}

bool isToday(const store::Value& date, const std::string& today) {
    return !date.isNull() && date.text().substr(0, 10) == today;
}

}  // namespace cl::review
