#include "review/review_grid.h"

#include <array>

#include "app/money.h"
#include "app/numbers.h"
#include "app/percentages.h"

namespace cl::review {

namespace {

constexpr int D = kDefaultWidth;
const std::array<ColumnInfo, kColumnCount + 1> kColumns{{
    {"", 300, ""},
    {"Sel", 400, ""},
    {"CodArt", 700, ""},
    {"Ean", 1500, ""},
    {"Descrizione", 3100, ""},
    {"UM", 400, ""},
    {"Reparto", 1200, ""},
    {"Iva", 400, ""},
    {"CostoV", 800, "##0.0000"},
    {"MarV", 800, "##0.00"},
    {"PrezzoV", 700, "##0.00"},
    {"Datagg", D, ""},
    {"CostoN", 800, ""},
    {"MarN", 700, "##0.0000"},
    {"PrezzoN", 700, "##0.00"},
    {"Var", 600, "##0.00"},
    {"Stato", 1500, "##0.00"},
    {"CodiceForn", D, ""},
    {"PrezOff", 600, ""},
    {"Mod", 0, "##0.00"},
    {"Gruppo", 1500, ""},
    {"Sottogruppo", 1500, ""},
    {"colli", D, ""},
    {"codrep", D, ""},
    {"codgru", D, ""},
    {"marchio", D, ""},
    {"imbart", D, ""},
    {"bns", D, ""},
    {"pezzatura", D, ""},
    {"umconf", D, ""},
    {"codfor", D, ""},
    {"codsot", D, ""},
    {"tipart", D, ""},
    {"variati", D, ""},
    {"modificatoamano", D, ""},
}};

bool isEmptyCell(const store::Value& v) {
    return v.isNull() || (v.isText() && v.text().empty());
}

// A cell holds a number when the database gives one, or a text that reads as one.
std::optional<double> numberOf(const store::Value& v) {
    if (v.isNumber()) return v.number();
    if (v.isText()) {
        if (auto n = lastSeparatorNumber(v.text())) return n;
    }
    return std::nullopt;
}

std::string plainText(const store::Value& v) {
    if (v.isNull()) return {};
    if (v.isText()) return v.text();
    return plainNumber(v.number());
}

std::string shownText(const store::Value& v, int col) {
    if (v.isNull()) return {};
    if (v.isText()) return col == kDatagg ? formatDate(v.text()) : v.text();
    return localeText(v.number());
}

}  // namespace

const ColumnInfo& columnInfo(int col) {
    return kColumns.at(static_cast<size_t>(col));
}

std::optional<double> variazione(const ReviewRow& row) {
    const store::Value& old = row[kPrezzoV];
    if (isEmptyCell(old) || isEmptyCell(row[kVar])) return std::nullopt;
    double oldPrice = numberOf(old).value_or(0);
    double newPrice = numberOf(row[kPrezzoN]).value_or(0);
    if (oldPrice != 0) return (newPrice - roundHalfEven(oldPrice, 2)) / oldPrice * 100;
    return newPrice != 0 ? 100.0 : 0.0;
}

CellLook cellLook(const ReviewRow& row, int col) {
    CellLook look;
    const store::Value& v = row[col];
    // Column 15 shows the price variation in place of the stored one, when there is one.
    std::optional<double> var = col == kVar ? variazione(row) : std::nullopt;
    std::optional<double> n = var ? var : numberOf(v);
    switch (col) {
        case kCostoN:
            if (n) look.background = *n < 0 ? kRed : kGreen;
            break;
        case kMarN:
        case kPrezzoN:
            look.background = kGreen;
            break;
        case kCostoV:
        case kPrezzoV:
            look.background = kYellow;
            break;
        case kMarV:
            look.background = n && *n < 0 ? kRed : kYellow;
            break;
        case kVar:
            look.background = kYellow;
            if (var && *var < 0) {
                look.background = kGreen;
            } else if (var && *var > 0) {
                look.background = kRed;
                look.foreground = kYellow;
            }
            break;
        default:
            break;
    }
    if (auto w = row.written.find(col); w != row.written.end()) {
        look.text = w->second;
        return look;
    }
    const std::string format = columnInfo(col).format;
    bool numeric = v.isNumber() || var;
    look.text = !format.empty() && numeric && n ? formatNumber(*n, format) : shownText(v, col);
    if (col == kVar)
        if (int jump =
                costJump(numberOf(row[kCostoV]).value_or(0), numberOf(row[kCostoN]).value_or(0))) {
            look.text = std::string(costJumpMark(jump)) + " costo " + look.text;
            look.background = kRed;
            look.foreground = kYellow;
        }
    return look;
}

std::string rawText(const ReviewRow& row, int col) {
    if (auto w = row.written.find(col); w != row.written.end()) return w->second;
    if (col == kVar) {
        if (auto var = variazione(row)) return plainNumber(*var);
    }
    return plainText(row[col]);
}

}  // namespace cl::review
