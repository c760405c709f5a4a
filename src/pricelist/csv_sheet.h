#pragma once
#include <functional>
#include <string_view>

#include "pricelist/sheet.h"

namespace cl::pricelist {

// The field delimiter of a CSV text: whichever of ";", tab and "," splits the most lines into
// the same number of fields (outside quotes). ";" when nothing tells.
char detectDelimiter(std::string_view text);

// Reads a CSV text (already UTF-8) into rows: fields in double quotes may hold the delimiter,
// line ends and doubled quotes; blanks around fields are dropped; empty lines are left out.
// Each row carries the line number where it begins.
Sheet readCsv(std::string_view text);
// The same rows, each handed over as it is read, with the delimiter given: a big file is never
// held as a whole sheet.
void forEachCsvRow(std::string_view text, char delimiter,
                   const std::function<void(SheetRow&&)>& take);

}  // namespace cl::pricelist
