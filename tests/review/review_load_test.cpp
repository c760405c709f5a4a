#include "review/review_load.h"

#include <gtest/gtest.h>

#include "support/temp_store.h"

namespace cl::review {
namespace {

class ReviewLoad : public ::testing::Test {
  protected:
    void SetUp() override { t.session.state.chiave_parametri = "01L"; }
    std::string openedName(long long supplier) {
        t.session.state.codice_fornitore = supplier;
        auto db = t.session.openStore();
        openReviewData(t.session, *db);
        // Whatever the opening read, another workstation can write at once.
        t.exec("UPDATE fornitori SET dscfornitore = dscfornitore");
        return t.session.state.nome_fornitore;
    }
    test::TempStore t;
};

TEST_F(ReviewLoad, FirstSupplierInTheListWithTheCodeNamesTheReview) {
    t.exec(
        "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (7, 'SETTE SRL'), (12, "
        "'ORTOFRUTTA SRL'), "
        "(12, 'ALTRO NOME'), (13, 'TREDICI')");
    EXPECT_EQ(openedName(12), "ORTOFRUTTA SRL" + std::string(31, ' '));
    EXPECT_EQ(openedName(13), "TREDICI" + std::string(38, ' '));
    EXPECT_EQ(openedName(99), "Sede Centrale" + std::string(32, ' '));
}

TEST_F(ReviewLoad, TheParameterRowsSupplierIsTheOneNamed) {
    t.exec(
        "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ORTOFRUTTA SRL'), (34, "
        "'LATTERIA')");
    t.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 34, 2)");
    EXPECT_EQ(openedName(12), "LATTERIA" + std::string(37, ' '));
    EXPECT_EQ(t.session.state.codice_fornitore, 34);
    EXPECT_EQ(t.session.state.tipo_filtro, 2);
}

}  // namespace
}  // namespace cl::review
