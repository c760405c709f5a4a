#include "review/open_review.h"

#include <gtest/gtest.h>

#include "review/review_load.h"
#include "support/temp_store.h"

namespace cl::review {
namespace {

// The command line opens the review cold, as the screens find it after start-up: the supplier
// of the last run comes from this workstation's parameter row, and the review shows its rows.
TEST(OpenReview, TheLastRunsSupplierIsInForceAndAnotherSitesRowIsNot) {
    test::TempStore t;
    t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('02L', 99, 4)");
    auto db = openReviewStore(t.session);
    t.session.state.codice_fornitore = 5;
    presetLastRunSupplier(t.session, *db);
    EXPECT_EQ(t.session.state.codice_fornitore, 5);  // no row of this workstation: kept
    EXPECT_EQ(t.session.state.chiave_parametri, "01L");

    t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 4)");
    presetLastRunSupplier(t.session, *db);
    EXPECT_EQ(t.session.state.codice_fornitore, 12);
    EXPECT_EQ(openReviewData(t.session, *db).filter.supplier, 12);
}

}  // namespace
}  // namespace cl::review
