// Fuzzes the CSV side of the price-list reader: encoding, delimiter, quoted fields, headings,
// amounts and the rows. No crash, no undefined behaviour, and every row is either read or
// listed with its line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pricelist/csv_sheet.h"
#include "pricelist/price_list.h"
#include "pricelist/text_encoding.h"
#include "store/error.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string text = cl::pricelist::toUtf8(bytes);
    check(cl::pricelist::isValidUtf8(text) || bytes.substr(0, 2) == "\xFF\xFE" ||
          bytes.substr(0, 2) == "\xFE\xFF");
    cl::pricelist::Sheet sheet = cl::pricelist::readCsv(text);
    long long last = 0;
    for (const auto& row : sheet.rows) {
        check(row.line > last);  // rows keep the order and the lines of the file
        last = row.line;
        check(!row.empty());
    }
    auto map = cl::pricelist::guessColumns(sheet);
    if (!map) return 0;
    auto list = cl::pricelist::extractRows(sheet, *map);
    for (const auto& r : list.rows) {
        check(r.cost >= 0 && r.cost < 1e9);
        check(!r.code.empty() || !r.ean.empty());
        check(r.ean.size() <= 13);
    }
    size_t dataRows = sheet.rows.size() - *map->headingRow - 1;
    check(list.rows.size() + size_t(list.notChecked()) == dataRows);
    return 0;
}
