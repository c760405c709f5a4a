#include "update/update_settings.h"

#include <gtest/gtest.h>

#include "support/temp_store.h"

namespace cl::review {
namespace {

TEST(UpdateSettings, ReviewLoadTicksPriceCreationUnitsDepartmentDescriptionAndMarkupFromRow) {
    UpdateSettings none = settingsAfterReviewLoad(std::nullopt);
    EXPECT_TRUE(none.kpre && none.kcrea && none.umeum && none.AggRep && none.AggDes);
    EXPECT_FALSE(none.kcos || none.kric || none.gruppiM || none.codiceIva || none.aggcodafo ||
                 none.aimb || none.noinvio || none.CreaLisForn);
    ParameterRow row;
    row.aric = 1;
    row.acos = 1;  // the cost box of the check screen does not reach the panel
    UpdateSettings withRow = settingsAfterReviewLoad(row);
    EXPECT_TRUE(withRow.kric);
    EXPECT_FALSE(withRow.kcos);
}

TEST(UpdateSettings, BoxesHaveTheirCaptionsInPanelOrder) {
    const auto& boxes = updateBoxes();
    EXPECT_STREQ(boxes[0].control, "kcos");
    EXPECT_STREQ(boxes[9].caption, "Aggiorna Codice Articolo  Fornitore");
    EXPECT_STREQ(boxes[12].caption, "Crea solo in Listini Fornitori");
    UpdateSettings s;
    for (const auto& b : boxes) s.*b.flag = true;
    EXPECT_TRUE(s.kcos && s.noinvio && s.CreaLisForn && s.umeum);
}

TEST(UpdateSettings, AggiornaListinoRestrictsToSelectedTicksSupplierCodeAndShowsNextCode) {
    test::TempStore ts;
    auto db = ts.session.openStore();
    UpdateSettings s = settingsAfterReviewLoad(std::nullopt);
    ReviewFilter f;
    f.supplier = 12;
    EXPECT_EQ(prepareUpdate(*db, s, f).nextCode, 1);  // empty listi01
    EXPECT_TRUE(s.aggcodafo);
    EXPECT_TRUE(f.selectedOnly);
    db->exec("INSERT INTO listi01 (codart) VALUES (7), (41), (NULL), (3)");
    EXPECT_EQ(nextFreeCode(*db), 42);
    db->exec("INSERT INTO listi01 (codart) VALUES (2147483647)");
    EXPECT_THROW(nextFreeCode(*db), Error);
}

}  // namespace
}  // namespace cl::review
