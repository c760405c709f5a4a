#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pricelist/columns.h"
#include "pricelist/sheet.h"

namespace cl::pricelist {

// One row of a supplier's price list, ready to be checked like a changed central article.
struct PriceListRow {
    long long line = 0;
    std::string ean;   // digits, at most 13; empty when the row has none
    std::string code;  // the supplier's article code as written; empty when none
    std::string description, unit;
    double cost = 0;
    std::optional<double> price;     // suggested sale price
    std::optional<std::string> vat;  // the rate as the store writes it: "22", "4"
    std::optional<long long> pack;
};

// A row left out of the check, or checked without a value it gave: never silently.
struct RowProblem {
    long long line = 0;
    std::string reason;
    bool checked = false;  // true: the row is checked, only the value named is left out
};

struct PriceList {
    std::vector<PriceListRow> rows;
    std::vector<RowProblem> problems;
    long long notChecked() const;
};

// Reads a supplier's file: .xlsx (the first sheet, or the one asked for) or CSV. Throws
// cl::Error with the reason when the file cannot be read at all.
Sheet readPriceListFile(const std::filesystem::path& file, std::optional<int> sheet = {});
Sheet readPriceListBytes(std::string_view bytes, std::optional<int> sheet = {});

// The columns: guessed from the headings, or as --columns gives them (the rest guessed).
// Throws cl::Error when no heading row is found or the cost, code and EAN cannot be placed.
ColumnMap columnsFor(const Sheet& sheet, const std::optional<std::string>& spec);

// What makes the amounts of a column unreadable without the decimal separator given: every
// one of them reads two ways ("1.250"). nullopt when the amounts tell, or map.decimal does.
std::optional<std::string> ambiguousAmounts(const Sheet& sheet, const ColumnMap& map);

// The rows under the heading row, read with the columns given. Throws cl::Error when the
// amounts are ambiguous (above) or most rows are split into other fields than the heading.
PriceList extractRows(const Sheet& sheet, const ColumnMap& map);

// What the amounts of each column (by index) say of their decimal separator, row by row.
struct AmountEvidence {
    std::vector<StyleCount> columns;
    void add(const SheetRow& row);
    void merge(const AmountEvidence& later);
    const StyleCount& of(size_t column) const;
};

// extractRows() one row at a time, for a file read as a stream: `head` holds the heading row
// (and gives the file's kind), `evidence` was gathered from the rows under it.
class RowExtractor {
  public:
    RowExtractor(const Sheet& head, const ColumnMap& map, const AmountEvidence& evidence);
    void add(const SheetRow& row);  // a row under the heading
    void expect(size_t rows) { out_.rows.reserve(rows); }
    PriceList finish();

  private:
    ColumnMap map_;
    char delimiter_;
    std::array<NumberStyle, kFieldCount> style_{};
    size_t widthAll_ = 0, widthWritten_ = 0, rows_ = 0, misshapen_ = 0;
    bool csv_ = false;
    PriceList out_;
};

// A supplier's CSV or .xlsx file read straight into its rows. A CSV is read twice as a stream
// (first its headings and the style of its amounts, then its rows), never held as a sheet: a
// file of a million rows takes the memory of its rows only.
PriceList readPriceListRows(const std::filesystem::path& file,
                            const std::optional<std::string>& columns,
                            std::optional<NumberStyle> decimal, std::optional<int> sheet = {});

// The line the operator reads for a row left out or checked without a value.
std::string problemLine(const RowProblem& p);

}  // namespace cl::pricelist
