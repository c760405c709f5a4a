#pragma once
#include <string_view>

#include "pricelist/sheet.h"

namespace cl::pricelist {

// Reads one worksheet of an .xlsx file held in memory: `sheet` counts from 1 in the order of
// the workbook's tabs. Throws cl::Error with the reason when the file cannot be read.
Sheet readXlsx(std::string_view bytes, int sheet);

}  // namespace cl::pricelist
