#pragma once
#include <optional>
#include <string>
#include <vector>

namespace cl::pricelist {

// One cell of a supplier's price list as read from its file. A spreadsheet number keeps its
// value; a CSV field or a spreadsheet text is text only, read as an amount later, when the
// column it belongs to is known.
struct Cell {
    std::string text;              // as shown: the text, a number's plain digits, a date ISO
    std::optional<double> number;  // a spreadsheet number (not a date)
    bool isDate = false;
    bool isPercent = false;  // a spreadsheet number formatted as a percentage (0.22 = 22 %)
    bool empty() const { return text.empty() && !number; }
};

struct SheetRow {
    long long line = 0;  // 1-based: the file's line (CSV) or the sheet's row number (.xlsx)
    std::vector<Cell> cells;
    bool empty() const;
};

enum class SourceKind { Csv, Xlsx };

struct Sheet {
    SourceKind kind = SourceKind::Csv;
    char delimiter = ';';                 // CSV only
    std::vector<std::string> sheetNames;  // .xlsx only, in the workbook's order
    std::vector<SheetRow> rows;           // empty rows left out
    size_t columnCount() const;
};

// The text without the blanks around it (spaces, tabs, no-break spaces).
std::string trimBlanks(const std::string& text);

// «text» as a message quotes a cell: at most 80 characters, then "…".
std::string cellQuote(const std::string& text);

// "A", "B", ... "Z", "AA" for a 0-based column index.
std::string columnLetters(size_t index);
// The 0-based index of "A", "b", "AA"... (1 to 3 letters); nullopt otherwise.
std::optional<size_t> columnIndex(const std::string& letters);

}  // namespace cl::pricelist
