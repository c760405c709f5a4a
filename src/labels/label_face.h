#pragma once
#include <functional>
#include <string>
#include <vector>

#include "history/labels.h"

namespace cl::labels {

// What one shelf label shows, as texts.
struct LabelFace {
    std::string description;
    std::string price;          // "€ 2,70"; by weight "€ 12,90/KG"
    std::string unitLine;       // "€ 14,28/LT": price per reference unit of the content
    std::string offerLine;      // "OFFERTA € 1,99" while an offer runs
    std::string offerUnitLine;  // "€ 3,98/LT": the offer per reference unit
    std::string barcode;        // the code to draw as a symbol; empty for none
    std::string codeLine;       // the code as text where no symbol is drawn
};

// In-store codes beginning with 2 are goods sold by weight: the scale prints their barcode.
bool soldByWeight(const std::string& ean);
// "€ 14,28" / "€ 14,28/LT".
std::string euro(const Money& amount, const std::string& perUnit = {});
LabelFace faceOf(const history::Label& label);

// A rectangle on the label, in millimetres from its top-left corner.
struct Box {
    double x = 0, y = 0, width = 0, height = 0;
    double right() const { return x + width; }
    double bottom() const { return y + height; }
};

// Where each part of the face goes on a label of the given size.
struct FaceBoxes {
    Box description, price, unitLine, offerLine, barcode, codeLine;
};
// Without a symbol the prices take the whole width and the code a line at the bottom; with an
// offer the sale price gives up room to the offer and its price per reference unit.
FaceBoxes faceBoxes(double width, double height, bool symbol, bool offer);

// Width in millimetres of a text at a font size in points.
using Measure = std::function<double(const std::string& text, double points)>;

struct FittedText {
    std::vector<std::string> lines;
    double points = 0;
    bool cut = false;  // the text did not fit even at the smallest size: it ends with "…"
};
// Word-wraps the text into the box at the largest size from `maxPoints` down to `minPoints`
// that fits. When nothing fits, the last line ends with "…" after a whole word (a single word
// too long for a line is cut, with the mark).
FittedText fitText(const std::string& text, const Box& box, double maxPoints, double minPoints,
                   const Measure& measure);
// Height of a text line in millimetres at a font size.
double lineHeight(double points);
// The largest size (down to minPoints) at which one line fits the width.
double fitOneLine(const std::string& text, double width, double maxPoints, double minPoints,
                  const Measure& measure);

}  // namespace cl::labels
