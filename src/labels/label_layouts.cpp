#include "labels/label_layouts.h"

#include "store/error.h"

namespace cl::labels {

const std::vector<LabelLayout>& labelLayouts() {
    // Sheets of adhesive labels as sold for laser printers: the labels cover the width of the
    // A4 page, the few millimetres left over in height are split above and below.
    static const std::vector<LabelLayout> layouts{
        {"a4-3x8", "A4, 3 x 8 etichette 70 x 37 mm", 210, 297, 70, 37, 0, 0.5, 0, 0, 3, 8, false},
        {"a4-2x7", "A4, 2 x 7 etichette 105 x 42 mm", 210, 297, 105, 42, 0, 1.5, 0, 0, 2, 7, false},
        {"rotolo-58", "Rotolo continuo 58 mm (stampante termica)", 58, 40, 58, 40, 0, 0, 0, 0, 1, 1,
         false},
        {kTableLayout, "Elenco (tabella A4)", 210, 297, 0, 0, 0, 0, 0, 0, 0, 0, true},
    };
    return layouts;
}

const LabelLayout& findLayout(const std::string& name) {
    std::string known;
    for (const auto& l : labelLayouts()) {
        if (l.name == name) return l;
        known += (known.empty() ? "" : ", ") + l.name;
    }
    throw Error("Attenzione ... Formato etichette sconosciuto: \"" + name +
                    "\". Formati disponibili: " + known + ".",
                ErrorKind::InvalidInput);
}

std::vector<LabelSlot> placeLabels(const LabelLayout& layout, size_t labels, int copies) {
    std::vector<LabelSlot> out;
    if (layout.table || layout.perPage() <= 0 || copies <= 0) return out;
    const size_t perPage = static_cast<size_t>(layout.perPage());
    const size_t cols = static_cast<size_t>(layout.columns);
    size_t n = 0;
    for (size_t label = 0; label < labels; ++label) {
        for (int c = 0; c < copies; ++c, ++n) {
            size_t onPage = n % perPage;
            LabelSlot s;
            s.page = static_cast<int>(n / perPage);
            s.x = layout.marginLeft +
                  static_cast<double>(onPage % cols) * (layout.labelWidth + layout.gapX);
            s.y = layout.marginTop +
                  static_cast<double>(onPage / cols) * (layout.labelHeight + layout.gapY);
            s.label = label;
            out.push_back(s);
        }
    }
    return out;
}

int pageCount(const LabelLayout& layout, size_t labels, int copies) {
    if (layout.table || layout.perPage() <= 0 || copies <= 0 || labels == 0) return 0;
    size_t total = labels * static_cast<size_t>(copies);
    size_t perPage = static_cast<size_t>(layout.perPage());
    return static_cast<int>((total + perPage - 1) / perPage);
}

}  // namespace cl::labels
