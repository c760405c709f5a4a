#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "pricelist/amounts.h"
#include "pricelist/sheet.h"

namespace cl::pricelist {

// The heading row is sought among the first rows of a sheet.
inline constexpr size_t kHeadingSearch = 30;

// The fields a supplier's price list can give, in the order of --columns.
enum class Field { Ean, Code, Description, Cost, Vat, Price, Unit, Pack };
inline constexpr size_t kFieldCount = 8;
inline constexpr std::array<Field, kFieldCount> kFields = {
    Field::Ean, Field::Code,  Field::Description, Field::Cost,
    Field::Vat, Field::Price, Field::Unit,        Field::Pack};

const char* fieldKey(Field f);      // "ean", "code", ... as --columns names them
const char* fieldCaption(Field f);  // "EAN", "Codice fornitore", ... as the screen shows them

// Which column (0-based) holds each field, and the row of headings when there is one.
struct ColumnMap {
    std::array<std::optional<size_t>, kFieldCount> column;
    std::optional<size_t> headingRow;  // index into Sheet::rows; data rows follow it
    // The decimal separator the operator gave (--decimal, the window); none: read from the
    // amounts, and a column whose every amount reads two ways refuses the file.
    std::optional<NumberStyle> decimal;
    std::optional<size_t>& operator[](Field f) { return column[size_t(f)]; }
    const std::optional<size_t>& operator[](Field f) const { return column[size_t(f)]; }
    // Cost and at least one of code and EAN.
    bool complete() const;
};

// The field a heading names (Italian or English), if any.
std::optional<Field> fieldOfHeading(const std::string& heading);

// Finds the heading row among the first rows of the sheet and the field of each of its
// columns. nullopt when no row names the cost and the code or EAN.
std::optional<ColumnMap> guessColumns(const Sheet& sheet);

// --columns "ean=A,code=B,cost=Netto,...": the field and the column as written (a letter or a
// heading). Throws cl::Error for a field it does not know or an item without "=".
std::vector<std::pair<Field, std::string>> parseColumnSpec(const std::string& spec);

// The columns given, each a heading of the heading row or a column letter; the fields not
// given are guessed from the heading row when there is one. Throws cl::Error when a heading
// is not in the file or the cost and the code or EAN are not both given.
ColumnMap resolveColumns(const Sheet& sheet,
                         const std::vector<std::pair<Field, std::string>>& spec);

// Fails with the message the operator reads when the map lacks what a check needs.
void requireComplete(const ColumnMap& map);

}  // namespace cl::pricelist
