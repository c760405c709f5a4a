#include <gtest/gtest.h>

#include <QPushButton>

#include "app/clock.h"
#include "review/ui/review_export.h"
#include "review/ui/review_screen.h"
#include "support/temp_dir.h"
#include "support/temp_store.h"
#include "support/tools.h"
#include "ui/review_wiring.h"
#include "ui/widget_application.h"

namespace cl::test {
namespace {

TEST(ReviewExcel, TheButtonExportsTheRowsTheGridShows) {
    cl::ui::ensureWidgetApplication();
    TempStore ts;
    ts.exec(
        "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA');"
        "INSERT INTO parametri (tipo, acos, aric, apv, creart, cliente, tiposel) "
        "VALUES ('01L', 0, 0, 1, 1, 12, 4);"
        "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, prezpub, prezpubv) "
        "VALUES (1, 'X', 5, '8000000000055', '=CAFFÈ', 12, 2.5, 2.7), "
        "(2, '', 0, '8000000000062', 'LATTE', 12, 0, 1.1), "
        "(3, 'X', 7, '8000000000079', 'ALTRO FORNITORE', 13, 1, 1);");
    ts.session.state.codice_fornitore = 12;
    ui::wireReviewScreen();
    ui::ReviewScreen screen(ts.session, ts.session.openStore());
    screen.show();
    EXPECT_NE(screen.findChild<QPushButton*>("CommandExcel"), nullptr);
    EXPECT_EQ(screen.findChild<QPushButton*>("CommandExcel")->text(), "Esporta in Excel");
    TempDir dir;
    auto file = dir.path / "r.xlsx";
    ASSERT_TRUE(review::ui::exportReviewXlsx(&screen, screen.controller().rows(),
                                             QString::fromStdString(file.string())));
    CL_REQUIRE_TOOL("/usr/bin/python3 -c 'import openpyxl'", "python3-openpyxl");
    std::string cells = shellOutput(
        "/usr/bin/python3 -c \"import openpyxl,sys; ws=openpyxl.load_workbook(sys.argv[1]).active; "
        "print(ws.max_row, [ws.cell(r, 4).value for r in range(2, ws.max_row + 1)], "
        "ws.cell(2, 4).data_type)\" '" +
        file.string() + "'");
    // Supplier 12 only, in order of description; "=CAFFÈ" stays a text.
    EXPECT_EQ(cells, "3 ['=CAFFÈ', 'LATTE'] s\n");
}

}  // namespace
}  // namespace cl::test
