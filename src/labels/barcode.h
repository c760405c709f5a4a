#pragma once
#include <optional>
#include <string>
#include <vector>

namespace cl::labels {

// An EAN symbol as the barcode library lays it out, in its own units (the drawing code scales
// it to the box): dark bars, and the digits under them.
struct BarcodeSymbol {
    struct Bar {
        double x, y, width, height;
    };
    struct Text {
        double x, y, size;  // y is the baseline
        std::string text;
        int align;  // 0 centre, 1 left, 2 right
    };
    double width = 0, height = 0;
    std::vector<Bar> bars;
    std::vector<Text> texts;
};

// EAN-13 or EAN-8 with a right check digit; nullopt for any other code.
std::optional<BarcodeSymbol> eanSymbol(const std::string& code);

}  // namespace cl::labels
