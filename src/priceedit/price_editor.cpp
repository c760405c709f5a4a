#include "priceedit/price_editor.h"

#include <cmath>

#include "app/money.h"
#include "app/numbers.h"
#include "app/percentages.h"
#include "app/price_rounding.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::priceedit {

namespace {

const char* const kNotValidRicn = " Dati non validi...";
const char* const kNotValid = "Attenzione...,Dati non validi";
const char* const kNotNumeric = "Il campo non contiene dati numerici validi !!!";
const char* const kTitle = "Modifica Prezzi di Vendita";
const char* const kMarginTooHigh =
    "Attenzione ... Con un margine del 100% o più il prezzo di vendita non si può calcolare: "
    "inserire un margine minore di 100.";

std::string formatted(const store::Value& v, const char* pattern) {
    return v.isNull() ? std::string() : formatNumber(v.number(), pattern);
}

}  // namespace

std::string& EditorFields::operator[](Field f) {
    switch (f) {
        case Field::codarw:
            return codarw;
        case Field::eanw:
            return eanw;
        case Field::codfow:
            return codfow;
        case Field::desarw:
            return desarw;
        case Field::umw:
            return umw;
        case Field::ivaw:
            return ivaw;
        case Field::costov:
            return costov;
        case Field::prev:
            return prev;
        case Field::ricv:
            return ricv;
        case Field::coston:
            return coston;
        case Field::ricn:
            return ricn;
        case Field::pren:
            return pren;
        case Field::margw:
        case Field::Conferma:
            break;
    }
    return margw;
}

PriceEditor::PriceEditor(store::Database& db, Messages& messages, const AppState& state)
    : db_(db), messages_(messages), state_(state) {}

void PriceEditor::load(const EditorInputs& inputs) {
    inputs_ = inputs;
    fields = EditorFields{};
    const std::string key = inputs.codart != 0 ? "codart" : "bns";
    auto st =
        db_.prepare("SELECT * FROM variatil WHERE " + key + " = ? ORDER BY " + db_.rowIdentity());
    st.bindAll(inputs.codart != 0 ? inputs.codart : inputs.bns);
    hasRow_ = st.step();
    if (hasRow_) {
        fields.codarw = st.value("codart").text();
        if (!st.isNull("codafo")) fields.codfow = st.text("codafo");
        fields.desarw = st.text("desart");
        if (!st.isNull("umart")) fields.umw = st.text("umart");
        fields.ivaw = st.text("ivart");
        fields.costov = formatted(st.value("przvec"), "###,##0.000");
        fields.prev = formatted(st.value("prezpub"), "###,##0.00");
        fields.ricv = formatted(st.value("perc"), "###,##0.00");
        fields.coston = formatted(st.value("przart"), "###,##0.000");
        fields.pren = formatted(st.value("prezpubv"), "###,##0.00");
        fields.margw = formatted(st.value("rica"), "###,##0.00");
        fields.eanw = inputs.ean;
    }
    auto margin = localeNumber(fields.margw);
    lightGreen_ = !margin || *margin <= 0;
}

bool PriceEditor::refused(double price) {
    std::string why = typedSalePriceRefusal(price);
    if (why.empty()) return false;
    messages_.show(why, Icon::Critical);
    return true;
}

int PriceEditor::iva() const {
    return static_cast<int>(roundHalfEven(leadingNumber(fields.ivaw), 0));
}

double PriceEditor::number(Field f, const char* caption) {
    std::string& text = fields[f];
    if (store::trimmed(text).empty() && f == Field::coston) text = "0";
    auto v = localeNumber(text);
    if (!v)
        throw Error(std::string("Attenzione ... Il campo \"") + caption +
                        "\" non contiene un "
                        "numero valido: \"" +
                        text + "\".",
                    ErrorKind::InvalidInput);
    return *v;
}

std::optional<double> PriceEditor::vatInclusiveCost() const {
    auto cost = store::trimmed(fields.coston).empty() ? 0.0 : localeNumber(fields.coston);
    if (!cost) return std::nullopt;
    int vat = iva() >= 50 ? 0 : iva();
    return withPercent(*cost, vat);
}

bool PriceEditor::lossConfirmed(double price) {
    auto cost = vatInclusiveCost();
    // A price of 0 is never written by the update: nothing is sold at it.
    if (price <= 0 || !cost || !(Money::fromDouble(price) < Money::fromDouble(*cost))) return true;
    const std::string question = "Attenzione ... Il prezzo di vendita " +
                                 formatNumber(price, "#,##0.00") +
                                 " è sotto il costo IVA compresa " +
                                 amountText(Money::fromDouble(*cost)) + ". Confermare il prezzo?";
    return messages_.ask(question, kTitle, Icon::Exclamation, Answer::No) == Answer::Yes;
}

bool PriceEditor::calcos() {
    auto markup = localeNumber(fields.ricn);
    if (!markup) {
        messages_.show(kNotValidRicn, Icon::Critical);
        return false;
    }
    double cost = number(Field::coston, "Costo");
    int vat = iva();
    double withVat = vat == 0 ? 0 : vat >= 50 ? cost : roundHalfEven(withPercent(cost, vat), 2);
    double price = roundHalfEven(withPercent(withVat, *markup), 2);
    if (state_.fl_arrotonda == "S") price = roundToFiveCents(price);
    if (refused(price)) return false;
    fields.pren = formatNumber(price, "###,##0.00");
    fields.ricn = formatNumber(*markup, "##0.00");
    calc_marg();
    return true;
}

void PriceEditor::calc_marg() {
    if (store::trimmed(fields.margw).empty()) fields.margw = "0";
    double cost = number(Field::coston, "Costo");
    int vat = iva() >= 50 ? 0 : iva();
    gcosiva_ = withPercent(cost, vat);
    double price = number(Field::pren, "P.Vendita");
    // With price 0 the margin stays as typed.
    auto margin = localeNumber(fields.margw);
    if (price != 0) margin = roundHalfEven(marginPercent(price, gcosiva_), 4);
    if (margin) fields.margw = formatNumber(*margin, "#,##0.00");
    double markup = 0;
    if (cost != 0 && gcosiva_ != 0) markup = roundHalfEven(percentChange(gcosiva_, price), 4);
    fields.ricn = formatNumber(markup, "#,##0.00");
}

bool PriceEditor::calcolam() {
    int vat = iva() >= 50 ? 0 : iva();
    // A row without a margin (no rica) counts it as 0, as calc_marg does.
    if (store::trimmed(fields.margw).empty()) fields.margw = "0";
    double margin = number(Field::margw, "% Margine");
    double factor = roundHalfEven(1 - margin / 100, 4);
    double cost = number(Field::coston, "Costo");
    if (factor <= 0) {
        messages_.show(kMarginTooHigh, Icon::Critical);
        return false;
    }
    gcosiva_ = withPercent(cost, vat);
    double price = roundHalfEven(gcosiva_ / factor, 2);
    if (refused(price)) return false;
    // No cost: no markup to show rather than a division by zero.
    double markup = gcosiva_ != 0 ? roundHalfEven(percentChange(gcosiva_, price), 2) : 0;
    fields.ricn = formatNumber(markup, "##0.00");
    fields.margw = formatNumber(margin, "##0.00");
    fields.pren = formatNumber(price, "###,##0.00");
    return true;
}

std::optional<Field> PriceEditor::enter(Field field) {
    try {
        switch (field) {
            case Field::ricn:
                if (!isNumber(fields.ricn)) {
                    messages_.show(kNotValidRicn, Icon::Critical);
                    return std::nullopt;
                }
                fields.ricn = normalizza(store::Value(fields.ricn), true);
                if (leadingNumber(fields.ricn) == 0 && !calcolam()) return std::nullopt;
                if (!calcos()) return std::nullopt;
                return Field::pren;
            case Field::margw:
                if (!isNumber(fields.margw)) {
                    messages_.show(kNotValid, Icon::Critical);
                    return std::nullopt;
                }
                fields.margw = normalizza(store::Value(fields.margw), true);
                if (!calcolam()) return std::nullopt;
                return Field::Conferma;
            case Field::pren:
                if (!isNumber(fields.pren)) {
                    messages_.show(kNotValid, Icon::Critical);
                    return std::nullopt;
                }
                fields.pren = normalizza(store::Value(fields.pren), true);
                if (refused(number(Field::pren, "P.Vendita"))) return std::nullopt;
                calc_marg();
                return Field::margw;
            case Field::ivaw:
                calcos();
                return std::nullopt;
            case Field::eanw:
                return Field::codfow;
            default:
                return std::nullopt;
        }
    } catch (const Error& e) {
        messages_.show(e.what(), Icon::Critical);
        return std::nullopt;
    }
}

PriceEditor::SaveResult PriceEditor::carica() {
    SaveResult result;
    for (Field f : {Field::pren, Field::margw, Field::ricn}) {
        if (!isNumber(fields[f])) {
            messages_.show(kNotNumeric, Icon::Critical);
            result.focus = f;
            return result;
        }
    }
    // Read as the number test above read them: a 12.5 typed without Enter is 12,50, not 125.
    double price = *lastSeparatorNumber(fields.pren);
    double margin = *lastSeparatorNumber(fields.margw);
    if (refused(price)) {
        result.focus = Field::pren;
        return result;
    }
    if (!lossConfirmed(price)) {
        result.focus = Field::pren;
        result.declined = true;
        return result;
    }
    if (hasRow_) {
        long long codart = wholeNumber(fields.codarw).value_or(0);
        store::Transaction tx(db_);
        auto st = db_.prepare(
            std::string("UPDATE variatil SET prezpubv = ?, rica = ?, fl1art = 'S', sel = 'X', "
                        "modificatoamano = '1' WHERE ") +
            (codart != 0 ? "codart = ?" : "bns = ?"));
        st.bindAll(Money::fromDouble(price).toDouble(), margin, codart != 0 ? codart : inputs_.bns);
        st.run();
        tx.commit();
    }
    result.closed = true;
    result.cells = GridCells{inputs_.gridRow, fields.margw, fields.pren, "X", inputs_.bns};
    return result;
}

}  // namespace cl::priceedit
