#include <gtest/gtest.h>

#include "history/labels.h"
#include "history/price_changes.h"
#include "history/undo.h"
#include "labels/labels_fixture.h"
#include "store/error.h"
#include "support/temp_dir.h"

namespace cl::test {
namespace {

using LabelsFromJournal = LabelsStore;

const history::Label* find(const history::LabelList& list, long long article) {
    for (const auto& l : list.labels)
        if (l.article == article) return &l;
    return nullptr;
}

TEST_F(LabelsFromJournal, UnitPricesOffersAndDepartmentsOfTheChangedArticles) {
    update();
    auto list = history::labelsToReprint(t.session, std::nullopt);
    EXPECT_FALSE(list.undone);
    ASSERT_EQ(list.labels.size(), 4u);  // the bread kept its price
    EXPECT_FALSE(find(list, 1));
    const auto* oil = find(list, 2);
    ASSERT_TRUE(oil);
    EXPECT_EQ(oil->unitPrice->plain(), "14.28");  // 7,14 for half a litre
    EXPECT_EQ(oil->referenceUnit, "LT");
    EXPECT_FALSE(oil->offerPrice);
    EXPECT_EQ(oil->departmentName, "DROGHERIA");
    const auto* mozzarella = find(list, 3);
    ASSERT_TRUE(mozzarella);
    // 250 GR with 1000 GR to the KG: 2,70 is 10,80/KG, the offer 1,99 is 7,96/KG.
    EXPECT_EQ(mozzarella->unitPrice->plain(), "10.8");
    EXPECT_EQ(mozzarella->offerPrice->plain(), "1.99");
    EXPECT_EQ(mozzarella->offerUnitPrice->plain(), "7.96");
    EXPECT_EQ(mozzarella->referenceUnit, "KG");
    EXPECT_EQ(find(list, 4)->ean, "2100051000009");
    EXPECT_FALSE(find(list, 5)->oldPrice);
    // The raw CSV keeps its columns.
    EXPECT_NE(
        history::labelsCsv(list).find("2,8000000000026,OLIO EXTRA VERGINE,6.9,7.14,14.28,LT\n"),
        std::string::npos);
}

TEST_F(LabelsFromJournal, AnUndoneRunGivesTheLabelsOfThePricesPutBack) {
    long long run = update();
    RecordingMessages yes;
    yes.answers = {Answer::Yes};
    ASSERT_TRUE(history::undoUpdate(t.session, std::nullopt, yes));
    auto list = history::labelsToReprint(t.session, run);
    EXPECT_TRUE(list.undone);
    // The created article is gone again: no label for it.
    ASSERT_EQ(list.labels.size(), 3u);
    EXPECT_FALSE(find(list, 5));
    const auto* oil = find(list, 2);
    ASSERT_TRUE(oil);
    EXPECT_EQ(oil->oldPrice->plain(), "7.14");
    EXPECT_EQ(oil->newPrice.plain(), "6.9");
    EXPECT_EQ(oil->unitPrice->plain(), "13.8");
    // Without a run named, the last one not undone: there is none left.
    EXPECT_THROW(history::labelsToReprint(t.session, std::nullopt), Error);
}

TEST_F(LabelsFromJournal, LabelsOfChosenArticlesAtTheirCurrentPrices) {
    auto list = history::labelsForArticles(t.session, {3, 1});
    ASSERT_EQ(list.labels.size(), 2u);
    EXPECT_EQ(list.labels[0].article, 3);  // in the order asked
    EXPECT_EQ(list.labels[0].newPrice.plain(), "2.5");
    EXPECT_EQ(list.labels[0].offerPrice->plain(), "1.99");
    EXPECT_EQ(list.labels[1].ean, "8000000000019");
    try {
        history::labelsForArticles(t.session, {1, 99});
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("L'articolo 99 non esiste"), std::string::npos);
        EXPECT_EQ(e.kind(), ErrorKind::NotFound);
    }
    EXPECT_EQ(history::articleCodes(" 12, 15,18"), (std::vector<long long>{12, 15, 18}));
    EXPECT_THROW(history::articleCodes("12,,15"), Error);
    EXPECT_THROW(history::articleCodes("12;15"), Error);
    EXPECT_THROW(history::articleCodes("-3"), Error);
}

TEST_F(LabelsFromJournal, TheLabelShowsThePrimaryBarcodeElseAMarkedOneElseAnyInTheOrderWritten) {
    // Article 1 already has a primary barcode, written first; the others show the choice.
    t.exec(
        "INSERT INTO codean (eanare, codare, primasecon) VALUES "
        "('8000000000101', 1, 'S'), ('8000000000118', 1, 'p'),"
        "('8000000000200', 2, NULL), ('8000000000217', 3, NULL),"
        "('8000000000224', 3, 'S'), ('8000000000231', 3, 'S');"
        "DELETE FROM codean WHERE codare IN (2, 3) AND primasecon = 'P'");
    auto list = history::labelsForArticles(t.session, {1, 2, 3});
    ASSERT_EQ(list.labels.size(), 3u);
    EXPECT_EQ(list.labels[0].ean, "8000000000019");  // the first primary, in any letter case
    EXPECT_EQ(list.labels[1].ean, "8000000000200");  // no mark at all: the only one
    EXPECT_EQ(list.labels[2].ean, "8000000000224");  // a marked one before an unmarked older one
}

TEST_F(LabelsFromJournal, PriceChangesListEveryBarcodeForScalesAndTills) {
    long long run = update();
    auto list = history::priceChangesOfRun(t.session, std::nullopt);
    EXPECT_EQ(list.run, run);
    ASSERT_EQ(list.lines.size(), 4u);  // bread unchanged
    const std::string csv = history::priceChangesCsv(list);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.substr(3, csv.find("\r\n") - 3),
              "EAN;CODICE_ARTICOLO;DESCRIZIONE;REPARTO;DESCRIZIONE_REPARTO;UM;PREZZO_VECCHIO;"
              "PREZZO_NUOVO;PREZZO_RIFERIMENTO;UM_RIFERIMENTO;PESO_VARIABILE");
    // In order of barcode: the in-store code first, flagged, with its price per kg.
    EXPECT_NE(csv.find("\r\n2100051000009;4;PROSCIUTTO CRUDO;5;SALUMERIA;KG;21,50;19,90;19,90;KG;S"
                       "\r\n8000000000026;2;OLIO EXTRA VERGINE;2;DROGHERIA;PZ;6,90;7,14;14,28;LT;N"
                       "\r\n8000000000033;3;"),
              std::string::npos)
        << csv;
    // A new barcode has no old price; a description with ";" and quotes is quoted.
    EXPECT_NE(csv.find("\r\n8000000000040;5;\"=SOMMA(A1:A9) \"\"BISCOTTI\"\"; FROLLINI\";2;"
                       "DROGHERIA;PZ;;3,10;;;N\r\n"),
              std::string::npos)
        << csv;

    TempDir dir;
    auto file = (dir.path / "prezzi.csv").string();
    history::writePriceChangesCsv(list, file);
    EXPECT_EQ(fileBytes(file), csv);
    EXPECT_THROW(history::writePriceChangesCsv(list, (dir.path / "manca" / "p.csv").string()),
                 Error);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "manca"));
}

TEST_F(LabelsFromJournal, PriceChangesOfAnUndoGoBackToTheOldPrices) {
    long long run = update();
    RecordingMessages yes;
    yes.answers = {Answer::Yes};
    ASSERT_TRUE(history::undoUpdate(t.session, std::nullopt, yes));
    auto list = history::priceChangesOfRun(t.session, run);
    EXPECT_TRUE(list.undone);
    ASSERT_EQ(list.lines.size(), 3u);  // the barcode the run added is gone
    EXPECT_EQ(list.lines[1].ean, "8000000000026");
    EXPECT_EQ(list.lines[1].oldPrice->plain(), "7.14");
    EXPECT_EQ(list.lines[1].newPrice.plain(), "6.9");
    EXPECT_EQ(list.lines[1].referencePrice->plain(), "13.8");
    EXPECT_THROW(history::priceChangesOfRun(t.session, 42), Error);
}

TEST(PriceChangesCsv, AmountsWithDecimalCommaAndNoThousandsPoint) {
    history::PriceChangeList list;
    history::BarcodePriceChange l;
    l.ean = "8000000000057";
    l.article = 9;
    l.description = "VINO \"RISERVA\"\nMAGNUM";
    l.oldPrice = Money::fromDouble(999.995);
    l.newPrice = Money::fromDouble(1234.5);
    list.lines.push_back(l);
    EXPECT_NE(history::priceChangesCsv(list).find(
                  "\r\n8000000000057;9;\"VINO \"\"RISERVA\"\" MAGNUM\";;;;1000,00;1234,50;;;N\r\n"),
              std::string::npos)
        << history::priceChangesCsv(list);
}

TEST(PriceChangesWithoutJournal, SayThatNoUpdateWasRecorded) {
    TempStore t;
    try {
        history::priceChangesOfRun(t.session, std::nullopt);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Attenzione ... Nessun aggiornamento registrato.");
        EXPECT_EQ(e.kind(), ErrorKind::NotFound);
    }
}

}  // namespace
}  // namespace cl::test
