// Fuzzes the .xlsx cell reader over expat: worksheet, shared-string and style parts. Malformed
// XML must end in cl::Error, never in a crash or undefined behaviour.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pricelist/xlsx_cells.h"
#include "store/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string xml(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> shared = {"uno", "due"};
    cl::pricelist::CellFormats formats;
    formats.styles = {cl::pricelist::CellFormats::Kind::Number,
                      cl::pricelist::CellFormats::Kind::Date,
                      cl::pricelist::CellFormats::Kind::Percent};
    try {
        auto rows = cl::pricelist::readSheetCells(xml, shared, formats);
        for (const auto& r : rows)
            if (r.cells.size() > 256) std::abort();
    } catch (const cl::Error&) {
    }
    try {
        cl::pricelist::readSharedStrings(xml);
    } catch (const cl::Error&) {
    }
    try {
        cl::pricelist::readCellFormats(xml);
    } catch (const cl::Error&) {
    }
    return 0;
}
