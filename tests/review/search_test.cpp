#include <gtest/gtest.h>

#include "review_fixture.h"
#include "store/error.h"

namespace cl::review {
namespace {

using Strings = std::vector<std::string>;

class Searches : public ReviewFixture, public ::testing::Test {
  protected:
    void SetUp() override {
        add({.bns = 1,
             .codart = 30,
             .ean = "8000000000011",
             .desart = "POMODORI DELL'ORTO",
             .codafo = "F-9",
             .dessot = "VERDURE"});
        add({.bns = 2,
             .codart = 10,
             .ean = "8000000000028",
             .desart = "SCONTO 50% LATTE",
             .codafo = "F_1",
             .dessot = "LATTICINI"});
        add({.bns = 3,
             .codart = 20,
             .ean = "8000000000035",
             .desart = "SCONTO 50X LATTE",
             .codafo = "FX1",
             .dessot = "LATTICINI"});
        add({.bns = 4,
             .codfor = 99,
             .codart = 40,
             .ean = "8000000000042",
             .desart = "ALTRO FORNITORE",
             .dessot = "VARIE"});
        open();
    }
};

TEST_F(Searches, OpeningShowsTheSupplierByDescriptionAndCountsEveryRow) {
    EXPECT_EQ(shown(), (Strings{"POMODORI DELL'ORTO", "SCONTO 50% LATTE", "SCONTO 50X LATTE"}));
    EXPECT_EQ(progress.values["nrartw"], "3");
    EXPECT_EQ(progress.values["cntw"], "3");
    EXPECT_EQ(store.session.state.nome_fornitore.substr(0, 14), "ORTOFRUTTA SRL");
}

TEST_F(Searches, ApostropheAndWildcardsAreTheOperatorsText) {
    review->search(SearchKind::Description, "DELL'ORTO");
    EXPECT_EQ(shown(), Strings{"POMODORI DELL'ORTO"});
    review->search(SearchKind::Description, "50%");
    EXPECT_EQ(shown(), Strings{"SCONTO 50% LATTE"});
    review->search(SearchKind::SupplierCode, "F_");
    EXPECT_EQ(shown(), Strings{"SCONTO 50% LATTE"});
    review->search(SearchKind::Subgroup, "latt");  // case as the stored texts ignore it
    EXPECT_EQ(shown().size(), 2u);
}

TEST_F(Searches, CodeSearchNeedsAWholeNumber) {
    review->search(SearchKind::Code, "20");
    EXPECT_EQ(shown(), Strings{"SCONTO 50X LATTE"});
    EXPECT_THROW(review->search(SearchKind::Code, "2O"), Error);
    EXPECT_THROW(review->search(SearchKind::Code, "1 OR 1=1"), Error);
    EXPECT_EQ(shown(), Strings{"SCONTO 50X LATTE"});  // nothing searched
}

TEST_F(Searches, SortEachSearchSetsAndAnEmptyBoxShowsEveryRow) {
    review->search(SearchKind::Code, "");
    EXPECT_EQ(shown(), (Strings{"SCONTO 50% LATTE", "SCONTO 50X LATTE", "POMODORI DELL'ORTO",
                                "ALTRO FORNITORE"}));
    // A reload keeps the sort of the last search over the base condition.
    review->leggo();
    EXPECT_EQ(shown(), (Strings{"SCONTO 50% LATTE", "SCONTO 50X LATTE", "POMODORI DELL'ORTO"}));
}

TEST_F(Searches, EanSearchBecomesTheBaseOthersAppendToIt) {
    review->search(SearchKind::Ean, "0000004");
    EXPECT_EQ(shown(), Strings{"ALTRO FORNITORE"});  // every supplier
    review->search(SearchKind::Description, "LATTE");
    EXPECT_TRUE(shown().empty());
    review->search(SearchKind::Description, "ALTRO");
    EXPECT_EQ(shown(), Strings{"ALTRO FORNITORE"});
}

TEST_F(Searches, EmptyEanSearchThenOtherSearchesAreValid) {
    review->search(SearchKind::Ean, "");
    EXPECT_EQ(shown().size(), 4u);
    review->search(SearchKind::Description, "POMODORI");
    EXPECT_EQ(shown(), Strings{"POMODORI DELL'ORTO"});
    review->leggo();
    EXPECT_EQ(review->rows().count(), 4u);
}

TEST_F(Searches, VediTuttiThenVediSelezioniIsValid) {
    store.exec("UPDATE variatil SET sel = '' WHERE bns = 2");
    EXPECT_EQ(review->toggleSelectedView(), "Vedi tutti");
    EXPECT_EQ(shown(), (Strings{"POMODORI DELL'ORTO", "SCONTO 50X LATTE"}));
    EXPECT_EQ(review->toggleSelectedView(), "Vedi selezioni");
    EXPECT_EQ(shown().size(), 4u);  // every supplier
    EXPECT_EQ(review->toggleSelectedView(), "Vedi tutti");
    EXPECT_EQ(shown().size(), 3u);  // " and sel = 'X'" with no WHERE before it, made valid
    review->search(SearchKind::Ean, "");
    review->search(SearchKind::Description, "");
    EXPECT_EQ(shown().size(), 4u);
}

TEST_F(Searches, RecalculationAfterVediTuttiCountsTheSelectedRowsOfEverySupplier) {
    store.exec("UPDATE variatil SET sel = '' WHERE bns = 2");
    review->toggleSelectedView();
    review->toggleSelectedView();  // "Vedi tutti": no condition at all
    EXPECT_EQ(review->openRecalc(), 3);
    EXPECT_EQ(progress.values["cntrw"], "3");
    EXPECT_EQ(shown(), (Strings{"ALTRO FORNITORE", "POMODORI DELL'ORTO", "SCONTO 50X LATTE"}));
}

TEST_F(Searches, BulkCommandsRebindDroppingTheSearch) {
    review->search(SearchKind::Description, "POMODORI");
    EXPECT_EQ(review->selectAllRows(), 3);  // the supplier's rows, not the search's
    review->search(SearchKind::Description, "POMODORI");
    store.exec("UPDATE variatil SET prezpubv = prezpub");
    EXPECT_EQ(review->selectChangedPrices(), 1);  // the rows the view shows
    EXPECT_EQ(sel(1), "");
    EXPECT_EQ(sel(2), "X");
}

TEST_F(Searches, ParameterRowSupplierDecidesDeselectButNotTheOpeningView) {
    // The base condition takes the supplier the check left; cliente comes into force after.
    store.exec(
        "INSERT INTO parametri (tipo, cliente, tiposel, acos, aric, apv, creart) "
        "VALUES ('01L', 99, 2, 1, 1, 0, 0)");
    open(12);
    EXPECT_EQ(shown().size(), 3u);
    EXPECT_EQ(store.session.state.codice_fornitore, 99);
    EXPECT_EQ(store.session.state.tipo_filtro, 2);
    EXPECT_EQ(store.session.state.nome_fornitore.substr(0, 14), "Sede Centrale ");
    review->deselectAllRows();
    EXPECT_EQ(shown(), Strings{"ALTRO FORNITORE"});
}

}  // namespace
}  // namespace cl::review

namespace cl::review {
namespace {

// Italian accented capitals fold like their small letters; the order of the rows (and so the
// keys bns) stays as the stored texts sort without that folding.
class AccentedSearches : public ReviewFixture, public ::testing::Test {
  protected:
    void SetUp() override {
        add({.bns = 1,
             .codart = 1,
             .desart = "CAFFÈ MOKA",
             .codafo = "PERCHÉ-1",
             .dessot = "CAFFÈ"});
        add({.bns = 2, .codart = 2, .desart = "caffè in grani", .dessot = "caffè"});
        add({.bns = 3, .codart = 3, .desart = "CAFFE' ORZO", .dessot = "SURROGATI"});
        add({.bns = 4, .codart = 4, .desart = "ÉCLAIR 50% CIOCCOLATO", .dessot = "DOLCI"});
        open();
    }
};

TEST_F(AccentedSearches, AccentedLettersMatchInEitherCase) {
    review->search(SearchKind::Description, "caffè");
    EXPECT_EQ(shown(), (Strings{"CAFFÈ MOKA", "caffè in grani"}));
    review->search(SearchKind::Description, "CAFFÈ");
    EXPECT_EQ(shown(), (Strings{"CAFFÈ MOKA", "caffè in grani"}));
    review->search(SearchKind::Subgroup, "CAFFÈ");
    EXPECT_EQ(shown().size(), 2u);
    review->search(SearchKind::SupplierCode, "perché");
    EXPECT_EQ(shown(), Strings{"CAFFÈ MOKA"});
    // Folding keeps the operator's wildcards literal.
    review->search(SearchKind::Description, "éclair 50%");
    EXPECT_EQ(shown(), Strings{"ÉCLAIR 50% CIOCCOLATO"});
    review->search(SearchKind::Description, "éclair 5_%");
    EXPECT_TRUE(shown().empty());
}

// Letters whose folding is longer than the letter (German ß, ligatures) find their spelled-out
// forms, and the other way round, on every engine.
TEST_F(AccentedSearches, LettersThatFoldIntoSeveralFindTheirSpelledOutForms) {
    add({.bns = 5, .codart = 5, .desart = "WEIẞBIER 50CL", .dessot = "BIRRE"});
    add({.bns = 6, .codart = 6, .desart = "Weißwurst", .dessot = "SALUMI"});
    add({.bns = 7, .codart = 7, .desart = "SOUFFLÉ AL ﬁCO", .dessot = "DOLCI"});
    review->search(SearchKind::Description, "weissbier");
    EXPECT_EQ(shown(), Strings{"WEIẞBIER 50CL"});
    review->search(SearchKind::Description, "WEISS");
    EXPECT_EQ(shown(), (Strings{"Weißwurst", "WEIẞBIER 50CL"}));
    review->search(SearchKind::Description, "weiß");
    EXPECT_EQ(shown(), (Strings{"Weißwurst", "WEIẞBIER 50CL"}));
    review->search(SearchKind::Description, "al fico");
    EXPECT_EQ(shown(), Strings{"SOUFFLÉ AL ﬁCO"});
}

}  // namespace
}  // namespace cl::review
