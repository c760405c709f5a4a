#include <gtest/gtest.h>

#include "exports/sheets.h"
#include "history/labels.h"
#include "history/price_history.h"
#include "labels/labels_fixture.h"
#include "review/review_rows.h"
#include "store/error.h"
#include "support/temp_dir.h"
#include "support/tools.h"
#include "support/variatil_rows.h"

namespace cl::test {
namespace {

const char* kReader = R"PY(
import sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    print("sheet|%s|freeze=%s" % (ws.title, ws.freeze_panes))
    for letter, dim in sorted(ws.column_dimensions.items()):
        if dim.width: print("width|%s|%g" % (letter, dim.width))
    for row in ws.iter_rows():
        for c in row:
            if c.value is None: continue
            v = c.value
            if isinstance(v, datetime.datetime): v = v.isoformat(sep=" ")
            elif isinstance(v, float): v = repr(v)
            print("cell|%s|%s|%s|%s" % (c.coordinate, c.data_type, v, c.number_format))
)PY";

// Every cell as "cell|A2|type|value|format", read back by an independent reader.
std::string readBack(const std::filesystem::path& file) {
    TempDir dir;
    writeBytes(dir.path / "leggi.py", kReader);
    return shellOutput("/usr/bin/python3 '" + (dir.path / "leggi.py").string() + "' '" +
                       file.string() + "' 2>&1");
}

#define REQUIRE_OPENPYXL() \
    CL_REQUIRE_TOOL("/usr/bin/python3 -c 'import openpyxl'", "python3-openpyxl")

void expectHas(const std::string& dump, const std::string& line) {
    EXPECT_NE(dump.find(line + "\n"), std::string::npos) << "manca: " << line << "\n" << dump;
}

TEST(Xlsx, NumbersDatesAndTextsKeepTheirTypesAndItalianFormats) {
    REQUIRE_OPENPYXL();
    using K = exports::CellKind;
    exports::Sheet s{"Prova",
                     {{"Testo", K::Text, 20},
                      {"Intero", K::Integer, 8},
                      {"Importo", K::Money2, 10},
                      {"Costo", K::Money4, 10},
                      {"Perc", K::Percent2, 8},
                      {"Data", K::Date, 11},
                      {"Ora", K::DateTime, 19}},
                     {}};
    s.rows.push_back({std::string("=SOMMA(A1:A9)"), 12.0, 1234.5, 0.12345, 12.5,
                      std::string("2026-12-08"), std::string("2026-12-08 09:14:03")});
    s.rows.push_back({std::string("+39 0123"), exports::numberCell("007"), exports::numberCell(""),
                      exports::numberCell("abc"), exports::numberCell("-3.25"),
                      std::string("non una data"), std::monostate{}});
    TempDir dir;
    auto file = dir.path / "prova.xlsx";
    exports::writeXlsx(file, {s});
    const std::string dump = readBack(file);
    expectHas(dump, "sheet|Prova|freeze=A2");
    expectHas(dump, "width|A|20.7109");
    expectHas(dump, "cell|A1|s|Testo|General");
    // A text beginning with "=" stays a text: no formula ever runs.
    expectHas(dump, "cell|A2|s|=SOMMA(A1:A9)|@");
    expectHas(dump, "cell|B2|n|12|0");
    expectHas(dump, "cell|C2|n|1234.5|#,##0.00");
    expectHas(dump, "cell|D2|n|0.12345|#,##0.0000");
    expectHas(dump, "cell|E2|n|0.125|0.00%");
    expectHas(dump, "cell|F2|d|2026-12-08 00:00:00|dd/mm/yyyy");
    expectHas(dump, "cell|G2|d|2026-12-08 09:14:03|dd/mm/yyyy hh:mm:ss");
    expectHas(dump, "cell|A3|s|+39 0123|@");
    expectHas(dump, "cell|B3|n|7|0");
    // Nothing lost: a value that is not a number stays as text in its column.
    expectHas(dump, "cell|D3|s|abc|@");
    expectHas(dump, "cell|E3|n|-0.0325|0.00%");
    expectHas(dump, "cell|F3|s|non una data|@");
    EXPECT_EQ(dump.find("cell|C3|"), std::string::npos);
}

TEST(Xlsx, AFileThatCannotBeWrittenLeavesNothingBehind) {
    TempDir dir;
    auto file = dir.path / "manca" / "x.xlsx";
    EXPECT_THROW(exports::writeXlsx(file, {exports::Sheet{"A", {}, {}}}), Error);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(std::filesystem::exists(dir.path / "manca" / "x.xlsx.part"));
}

using XlsxOfTheScreens = LabelsStore;

TEST_F(XlsxOfTheScreens, LabelsHistoryAndReviewSheets) {
    REQUIRE_OPENPYXL();
    update();
    TempDir dir;
    exports::writeXlsx(dir.path / "e.xlsx",
                       {exports::labelsSheet(history::labelsToReprint(t.session, {}))});
    std::string labels = readBack(dir.path / "e.xlsx");
    expectHas(labels, "sheet|Etichette|freeze=A2");
    expectHas(labels, "cell|A1|s|Codice|General");
    // Rows by description: "=SOMMA..." first, then MOZZARELLA, OLIO, PROSCIUTTO.
    expectHas(labels, "cell|B2|s|8000000000040|@");
    expectHas(labels, "cell|C2|s|=SOMMA(A1:A9) \"BISCOTTI\"; FROLLINI|@");
    expectHas(labels, "cell|A3|n|3|0");
    expectHas(labels, "cell|F3|n|2.5|#,##0.00");
    expectHas(labels, "cell|G3|n|2.7|#,##0.00");
    expectHas(labels, "cell|H3|n|10.8|#,##0.00");
    expectHas(labels, "cell|J3|n|1.99|#,##0.00");
    expectHas(labels, "cell|K5|s|S|@");

    exports::writeXlsx(dir.path / "s.xlsx",
                       {exports::historySheet(history::articleHistory(t.session, 2))});
    std::string hist = readBack(dir.path / "s.xlsx");
    expectHas(hist, "cell|A2|n|2|0");
    EXPECT_NE(hist.find("cell|C2|d|2026-12-08 "), std::string::npos) << hist;
    expectHas(hist, "cell|H2|n|6.9|#,##0.00");
    expectHas(hist, "cell|I2|n|7.14|#,##0.00");

    VariatilRow r;
    r.desart = "=1+1";
    r.ean = "0012345678905";
    r.perc = "20.5";
    addVariatil(t, r);
    t.exec("UPDATE variatil SET datagg = '2026-11-30'");
    auto db = t.session.openStore();
    review::ReviewRows rows;
    review::ReviewFilter filter;
    filter.supplier = 12;
    rows.load(*db, filter);
    ASSERT_EQ(rows.count(), 1u);
    exports::writeXlsx(dir.path / "r.xlsx", {exports::reviewSheet(rows)});
    std::string rev = readBack(dir.path / "r.xlsx");
    expectHas(rev, "sheet|Revisione|freeze=A2");
    expectHas(rev, "cell|B1|s|CodArt|General");
    expectHas(rev, "cell|B2|n|100|0");
    expectHas(rev, "cell|C2|s|0012345678905|@");  // leading zeros kept
    expectHas(rev, "cell|D2|s|=1+1|@");
    expectHas(rev, "cell|H2|n|8|#,##0.0000");
    expectHas(rev, "cell|I2|n|0.205|0.00%");
    expectHas(rev, "cell|J2|n|10|#,##0.00");
    expectHas(rev, "cell|K2|d|2026-11-30 00:00:00|dd/mm/yyyy");
    expectHas(rev, "cell|AA2|n|1|0");  // bns
}

}  // namespace
}  // namespace cl::test
