#pragma once
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace cl::exports {

// How a column's values are stored and shown in the spreadsheet. Amounts and percentages are
// numbers with Italian display formats; texts are never read as formulas; dates are dates.
enum class CellKind { Text, Integer, Decimal, Money2, Money4, Percent2, Percent4, Date, DateTime };

struct SheetColumn {
    std::string heading;
    CellKind kind = CellKind::Text;
    double width = 12;  // in characters
};

// Empty, a text, or a number. Percentages are given as shown (12.5 for 12,5 %); dates as ISO
// text ("2026-12-08" or "2026-12-08 09:14:03").
using Cell = std::variant<std::monostate, std::string, double>;

struct Sheet {
    std::string name;
    std::vector<SheetColumn> columns;
    std::vector<std::vector<Cell>> rows;
};

// A number from a plain text ("12.5", "-3"); a text that is not one stays a text.
Cell numberCell(const std::string& plain);

// Writes the workbook beside the file and moves it into place only when complete; throws
// cl::Error with an Italian message on failure, leaving no file behind.
void writeXlsx(const std::filesystem::path& file, const std::vector<Sheet>& sheets);

}  // namespace cl::exports
