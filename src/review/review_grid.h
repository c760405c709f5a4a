#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "review/review_rows.h"

namespace cl::review {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kYellow{255, 255, 0};  // 65535
inline constexpr Rgb kGreen{0, 255, 0};     // 65280
inline constexpr Rgb kRed{255, 0, 0};       // 255

// One grid column: heading, width in twips (-1: the grid's default, 0: hidden) and the
// display format of its numbers (empty: none).
struct ColumnInfo {
    const char* heading;
    int widthTwips;
    const char* format;
};
inline constexpr int kDefaultWidth = -1;
// Column 0 is the row-heading column; 1..34 the fields of the column list.
const ColumnInfo& columnInfo(int col);

// Grid columns by what they hold.
enum Col : int {
    kSel = 1,
    kCodArt = 2,
    kEan = 3,
    kDescrizione = 4,
    kCostoV = 8,
    kMarV = 9,
    kPrezzoV = 10,
    kDatagg = 11,
    kCostoN = 12,
    kMarN = 13,
    kPrezzoN = 14,
    kVar = 15,
    kStato = 16,
    kCodiceForn = 17,
    kBns = 27,
};

// What a cell shows: text, background and text colour (none: the grid's own).
struct CellLook {
    std::string text;
    std::optional<Rgb> background, foreground;
};

// The variation of column 15: nullopt when the old price or the stored variation is empty
// (the cell keeps its value), else the price variation in percent (100 for a new price
// against an old price of 0).
std::optional<double> variazione(const ReviewRow& row);
// The look of a cell as the grid draws it after loading: colours, variation, format.
CellLook cellLook(const ReviewRow& row, int col);
// The value of a cell unformatted, numbers with "." (column 15 holds the variation).
std::string rawText(const ReviewRow& row, int col);

}  // namespace cl::review
