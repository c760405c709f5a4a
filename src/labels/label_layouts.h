#pragma once
#include <string>
#include <vector>

namespace cl::labels {

// A sheet of shelf labels, in millimetres. A roll is a page per label (the thermal printer
// feeds and cuts per page); "elenco" is the printed table of the labels to reprint.
struct LabelLayout {
    std::string name, title;
    double pageWidth = 0, pageHeight = 0;
    double labelWidth = 0, labelHeight = 0;
    double marginLeft = 0, marginTop = 0;
    double gapX = 0, gapY = 0;
    int columns = 0, rows = 0;
    bool table = false;
    int perPage() const { return columns * rows; }
};

inline constexpr const char* kTableLayout = "elenco";
inline constexpr int kMaxCopies = 999;

const std::vector<LabelLayout>& labelLayouts();
// Throws cl::Error naming the layouts there are when the name is unknown.
const LabelLayout& findLayout(const std::string& name);

// Where one label goes: its page (from 0) and its top-left corner on the page.
struct LabelSlot {
    int page = 0;
    double x = 0, y = 0;
    size_t label = 0;  // index in the list
};

// Every label `copies` times in a row, filling each page left to right, top to bottom.
std::vector<LabelSlot> placeLabels(const LabelLayout& layout, size_t labels, int copies);
int pageCount(const LabelLayout& layout, size_t labels, int copies);

}  // namespace cl::labels
