#pragma once
#include <map>
#include <optional>
#include <string>

#include "app/app_state.h"
#include "app/interfaces.h"
#include "priceedit/editor_inputs.h"
#include "store/database.h"

namespace cl::priceedit {

// The text boxes of the editor, by their control names.
enum class Field {
    codarw,
    eanw,
    codfow,
    desarw,
    umw,
    ivaw,
    costov,
    prev,
    ricv,
    coston,
    ricn,
    pren,
    margw,
    Conferma,
};

struct EditorFields {
    std::string codarw, eanw, codfow, desarw, umw, ivaw;
    std::string costov, prev, ricv;         // "Vecchi"
    std::string coston, ricn, pren, margw;  // "Nuovi"
    std::string& operator[](Field f);
};

// What "Conferma" leaves for the review grid's current row.
struct GridCells {
    size_t gridRow = 0;              // as it was when the editor opened
    std::string marN, prezzoN, sel;  // columns 13, 14 and 1
    long long bns = 0;               // the row key: the grid finds the row by it
};

// The sale-price editor without its widgets: the fields as texts, the formulas, the Enter keys
// and the save. Messages are shown through Messages; the screen moves the focus as told.
class PriceEditor {
  public:
    PriceEditor(store::Database& db, Messages& messages, const AppState& state);

    // Form_Load: the first variatil row of the article (or of the row key for code 0).
    void load(const EditorInputs& inputs);
    bool hasRow() const { return hasRow_; }
    // The new margin is 0, negative or missing: its box is painted light green.
    bool margwLightGreen() const { return lightGreen_; }

    EditorFields fields;
    // gcosiva: the cost with VAT of the last calculation.
    double gcosiva() const { return gcosiva_; }

    // Enter in a field: the field that takes the focus next (none: it stays).
    std::optional<Field> enter(Field field);
    // The three calculations; false (after the message) when they cannot be done.
    bool calcos();     // price from cost and markup
    void calc_marg();  // margin and markup from the price
    bool calcolam();   // price from the margin

    struct SaveResult {
        bool closed = false;         // the dialog closes
        std::optional<Field> focus;  // the field without a number, or the price not confirmed
        std::optional<GridCells> cells;
        bool declined = false;  // a price below the cost with VAT, not confirmed
    };
    // "Conferma" (carica): every variatil row of the article, then the grid's three cells. A
    // price below the cost with VAT is asked about first (default No).
    SaveResult carica();

  private:
    int iva() const;
    // A sale price no store can mean, or not in whole cents: the message is shown and nothing
    // changes.
    bool refused(double price);
    double number(Field f, const char* caption);
    // The cost with VAT as calc_marg takes it; none while the cost box holds no number.
    std::optional<double> vatInclusiveCost() const;
    // A price below the cost with VAT (a "120" read as 1,20, say) is sold at a loss: false
    // unless the operator confirms it.
    bool lossConfirmed(double price);

    store::Database& db_;
    Messages& messages_;
    const AppState& state_;
    EditorInputs inputs_;
    bool hasRow_ = false;
    bool lightGreen_ = false;
    double gcosiva_ = 0;
};

}  // namespace cl::priceedit
