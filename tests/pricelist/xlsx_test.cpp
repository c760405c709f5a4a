#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <filesystem>

#include "pricelist/price_list.h"
#include "pricelist/xlsx_cells.h"
#include "store/error.h"
#include "support/temp_dir.h"

namespace cl::pricelist {
namespace {

// A workbook as a supplier sends it: a notes sheet behind the list, a title above the
// headings, descriptions in the shared strings, numbers, a percentage, a date and a hole.
std::filesystem::path writeWorkbook(const std::filesystem::path& dir) {
    auto path = dir / "listino.xlsx";
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* list = workbook_add_worksheet(wb, "Listino");
    lxw_worksheet* notes = workbook_add_worksheet(wb, "Note");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "dd/mm/yyyy");
    lxw_format* percent = workbook_add_format(wb);
    format_set_num_format(percent, "0%");
    lxw_datetime day = {2027, 1, 15, 0, 0, 0};

    worksheet_write_string(list, 0, 0, "Listino ROSSI SPA 2027", nullptr);
    const char* headings[] = {"EAN", "Codice", "Descrizione", "Costo", "IVA", "Valido dal"};
    for (int c = 0; c < 6; ++c) worksheet_write_string(list, 2, lxw_col_t(c), headings[c], nullptr);
    worksheet_write_number(list, 3, 0, 8001234567897, nullptr);
    worksheet_write_string(list, 3, 1, "R-001", nullptr);
    worksheet_write_string(list, 3, 2, "PASTA DI SEMOLA", nullptr);
    worksheet_write_number(list, 3, 3, 1.2345, nullptr);
    worksheet_write_number(list, 3, 4, 0.22, percent);
    worksheet_write_datetime(list, 3, 5, &day, date);
    // No EAN (an empty cell), cost as text with a comma, VAT as a whole number.
    worksheet_write_number(list, 4, 1, 1002, nullptr);
    worksheet_write_string(list, 4, 2, "BISCOTTI", nullptr);
    worksheet_write_string(list, 4, 3, "2,50", nullptr);
    worksheet_write_number(list, 4, 4, 4, nullptr);
    // A date where the cost belongs is not a cost.
    worksheet_write_string(list, 5, 1, "R-003", nullptr);
    worksheet_write_string(list, 5, 2, "PASTA DI SEMOLA", nullptr);  // shared again
    worksheet_write_datetime(list, 5, 3, &day, date);

    worksheet_write_string(notes, 0, 0, "Cod. Art.", nullptr);
    worksheet_write_string(notes, 0, 1, "Netto", nullptr);
    worksheet_write_string(notes, 1, 0, "N-1", nullptr);
    worksheet_write_number(notes, 1, 1, 7, nullptr);
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return path;
}

class Xlsx : public ::testing::Test {
  protected:
    test::TempDir dir;
};

TEST_F(Xlsx, FirstSheetNumbersSharedStringsEmptyCellsAndDates) {
    auto path = writeWorkbook(dir.path);
    Sheet s = readPriceListFile(path);
    EXPECT_EQ(s.sheetNames, (std::vector<std::string>{"Listino", "Note"}));
    ASSERT_EQ(s.rows.size(), 5u);  // the blank second row is left out
    EXPECT_EQ(s.rows[0].line, 1);
    EXPECT_EQ(s.rows[1].line, 3);
    EXPECT_EQ(s.rows[2].cells[5].text, "2027-01-15");
    EXPECT_TRUE(s.rows[2].cells[5].isDate);
    EXPECT_TRUE(s.rows[3].cells[0].empty());

    auto map = columnsFor(s, std::nullopt);
    EXPECT_EQ(map.headingRow, 1u);
    PriceList l = extractRows(s, map);
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(l.rows[0].line, 4);
    EXPECT_EQ(l.rows[0].ean, "8001234567897");
    EXPECT_EQ(l.rows[0].description, "PASTA DI SEMOLA");
    EXPECT_DOUBLE_EQ(l.rows[0].cost, 1.2345);
    EXPECT_EQ(l.rows[0].vat, "22");
    EXPECT_EQ(l.rows[1].ean, "");
    EXPECT_EQ(l.rows[1].code, "1002");
    EXPECT_DOUBLE_EQ(l.rows[1].cost, 2.5);
    EXPECT_EQ(l.rows[1].vat, "4");
    ASSERT_EQ(l.problems.size(), 1u);
    EXPECT_EQ(problemLine(l.problems[0]),
              "Riga 6: costo non leggibile «2027-01-15» (non controllata)");
}

TEST_F(Xlsx, OtherSheetsByNumber) {
    auto path = writeWorkbook(dir.path);
    Sheet s = readPriceListFile(path, 2);
    PriceList l = extractRows(s, columnsFor(s, std::nullopt));
    ASSERT_EQ(l.rows.size(), 1u);
    EXPECT_EQ(l.rows[0].code, "N-1");
    try {
        readPriceListFile(path, 3);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(),
                     "Il foglio 3 non esiste: la cartella ha 2 fogli (1 «Listino», 2 «Note»).");
        EXPECT_EQ(e.kind(), ErrorKind::NotFound);
    }
}

TEST(XlsxCells, ReferencesTypesAndDates) {
    CellFormats f;
    f.styles = {CellFormats::Kind::Number, CellFormats::Kind::Date};
    auto rows = readSheetCells(
        "<worksheet xmlns='x'><sheetData>"
        "<row r='2'><c r='C2' t='s'><v>1</v></c><c t='inlineStr'><is><t>in</t><t>line</t></is></c>"
        "<c r='F2' s='1'><v>61</v></c><c r='G2'><v>8.0012345678900E+12</v></c>"
        "<c r='H2' t='b'><v>1</v></c><c r='I2' t='e'><v>#N/A</v></c><c r='J2' t='s'><v>9</v></c>"
        "</row><row><c><v>1.5</v></c></row></sheetData></worksheet>",
        {"zero", "uno"}, f);
    ASSERT_EQ(rows.size(), 2u);
    const auto& c = rows[0].cells;
    EXPECT_EQ(rows[0].line, 2);
    ASSERT_EQ(c.size(), 9u);  // J2 names a shared string that is not there: left empty
    EXPECT_EQ(c[2].text, "uno");
    EXPECT_EQ(c[3].text, "inline");
    EXPECT_EQ(c[5].text, "1900-03-01");
    EXPECT_EQ(c[6].text, "8001234567890");
    EXPECT_EQ(c[7].text, "VERO");
    EXPECT_EQ(c[8].text, "#N/A");
    EXPECT_FALSE(c[8].number);
    EXPECT_EQ(rows[1].line, 3);
    EXPECT_EQ(rows[1].cells[0].number, 1.5);
    EXPECT_EQ(serialDate(1, false), "1900-01-01");
    EXPECT_EQ(serialDate(59, false), "1900-02-28");
    EXPECT_EQ(serialDate(46402, false), "2027-01-15");
    EXPECT_EQ(serialDate(0, true), "1904-01-01");
    EXPECT_THROW(readSheetCells("<worksheet><row>", {}, f), Error);
}

TEST(XlsxCells, SharedStringsLeavePhoneticRunsOut) {
    auto s = readSharedStrings(
        "<sst><si><t>uno</t></si><si><r><t>du</t></r><r><t>e</t></r><rPh><t>x</t></rPh></si>"
        "<si><t/></si></sst>");
    EXPECT_EQ(s, (std::vector<std::string>{"uno", "due", ""}));
}

}  // namespace
}  // namespace cl::pricelist
