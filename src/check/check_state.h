#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/parameters.h"
#include "check/filters.h"

namespace cl::check {

enum class Reference { Price, Cost };                       // pvk "Prezzo V.", csk "Costo"
enum class MarkupSource { NoneSelected, Groups, NewOnly };  // dagruppimerc, soloartnuo

// Every control of the check screen that a run reads, with its state.
struct CheckScreenState {
    std::string supplierText;  // DBCombo3's displayed text
    std::string codforw;
    bool kcos = false, kric = false, kpre = false, kcrea = false;
    Reference reference = Reference::Price;
    bool tut = false, sma = false, sve = false, men = false, piu = false, nuo = false;
    std::string perif, ricnw;
    MarkupSource markup = MarkupSource::NoneSelected;

    FilterBoxes filters() const { return {tut, nuo, piu, men, sve}; }
};

enum class FilterBox { Tut, Nuo, Piu, Men, Sma, Sve };

// A click on a filter box: the box toggles, then its handler runs ("Nuovi prodotti" sets the
// filter code 1, "Prodotti aumentati" 2; every box but "Tutti" unticks "Tutti").
void clickFilter(CheckScreenState& s, AppState& app, FilterBox box);
// The handler alone, for screens whose box has already toggled itself.
void afterFilterClick(CheckScreenState& s, AppState& app, FilterBox box);

// The supplier box's selection: the bound text (the code) when it is a number, else the code
// in force stays; the name cut or padded to 45 characters.
void chooseSupplier(CheckScreenState& s, AppState& app, const std::string& boundText,
                    const std::string& displayedText);

// The presets of the start-up, with the parameter row when it exists and the name of the
// remembered supplier when fornitori has it.
void presetAtStartUp(CheckScreenState& s, AppState& app, const std::optional<ParameterRow>& row,
                     const std::optional<std::string>& supplierName);

// The four update boxes as the option flags, and as the parameter row to save.
void setOptionFlags(const CheckScreenState& s, AppState& app);
ParameterRow parameterRowOf(const CheckScreenState& s, const AppState& app);

}  // namespace cl::check
