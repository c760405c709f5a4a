#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "pricelist/sheet.h"

namespace cl::pricelist {

// What the cells of a sheet refer to: the workbook's shared strings and, per cell style, how
// its number is shown (a date, a percentage or a plain number).
struct CellFormats {
    enum class Kind { Number, Date, Percent };
    std::vector<Kind> styles;  // by the cell's style index ("s")
    bool date1904 = false;
    Kind kindOf(long long style) const;
};

// The rows of a worksheet part: shared strings, inline strings, numbers, booleans, dates
// (as "YYYY-MM-DD"), formula results; cells placed by their reference ("C7"). Throws cl::Error
// for XML that is not well formed and for a sheet too big to hold.
std::vector<SheetRow> readSheetCells(std::string_view xml, const std::vector<std::string>& shared,
                                     const CellFormats& formats);

// The shared-string table (sharedStrings.xml): the text of each item, phonetic runs left out.
std::vector<std::string> readSharedStrings(std::string_view xml);
// The cell styles of styles.xml.
CellFormats readCellFormats(std::string_view xml);

// A day number of the spreadsheet calendar as "YYYY-MM-DD".
std::string serialDate(double serial, bool date1904);
// A number's plain text: whole numbers without decimals (8001234567890), others in at most
// 15 significant digits.
std::string plainText(double v);

}  // namespace cl::pricelist
