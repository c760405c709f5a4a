#include "check/check_state.h"

#include "app/numbers.h"
#include "store/fixed_text.h"

namespace cl::check {

namespace {
bool& boxOf(CheckScreenState& s, FilterBox box) {
    switch (box) {
        case FilterBox::Tut:
            return s.tut;
        case FilterBox::Nuo:
            return s.nuo;
        case FilterBox::Piu:
            return s.piu;
        case FilterBox::Men:
            return s.men;
        case FilterBox::Sma:
            return s.sma;
        case FilterBox::Sve:
            return s.sve;
    }
    return s.tut;
}
}  // namespace

void afterFilterClick(CheckScreenState& s, AppState& app, FilterBox box) {
    if (box == FilterBox::Tut) return;
    if (box == FilterBox::Nuo) app.tipo_filtro = 1;
    if (box == FilterBox::Piu) app.tipo_filtro = 2;
    s.tut = false;
}

void clickFilter(CheckScreenState& s, AppState& app, FilterBox box) {
    bool& b = boxOf(s, box);
    b = !b;
    afterFilterClick(s, app, box);
}

void chooseSupplier(CheckScreenState& s, AppState& app, const std::string& boundText,
                    const std::string& displayedText) {
    std::string code = boundText.empty() ? "0" : boundText;
    if (auto n = wholeNumber(code)) app.codice_fornitore = *n;
    app.nome_fornitore = store::fixedWidth(displayedText, 45);
    s.supplierText = displayedText;
    s.codforw = std::to_string(app.codice_fornitore);
}

void presetAtStartUp(CheckScreenState& s, AppState& app, const std::optional<ParameterRow>& row,
                     const std::optional<std::string>& supplierName) {
    if (row) {
        s.kcos = row->acos != 0;
        s.kric = row->aric != 0;
        s.kpre = row->apv != 0;
        s.kcrea = row->creart != 0;
        app.codice_fornitore = row->cliente;
    }
    if (app.codice_fornitore != 0 && supplierName) s.supplierText = *supplierName;
    app.fl_costo = s.kcos ? "1" : "0";
    app.fl_ricarica = s.kric ? "1" : "0";
    app.fl_prezzo = s.kpre ? "1" : "0";
    s.reference = Reference::Price;
    s.nuo = s.piu = s.men = s.tut = true;
    app.tipo_filtro = 4;
    s.perif = "0";
    s.ricnw = "35";
}

void setOptionFlags(const CheckScreenState& s, AppState& app) {
    app.fl_costo = s.kcos ? "1" : "0";
    app.fl_ricarica = s.kric ? "1" : "0";
    app.fl_prezzo = s.kpre ? "1" : "0";
    app.fl_crea = s.kcrea ? "1" : "0";
}

ParameterRow parameterRowOf(const CheckScreenState& s, const AppState& app) {
    ParameterRow row;
    row.acos = s.kcos;
    row.aric = s.kric;
    row.apv = s.kpre;
    row.creart = s.kcrea;
    row.cliente = app.codice_fornitore;
    row.tiposel = app.tipo_filtro;
    return row;
}

}  // namespace cl::check
