// "Aggiorna" says what it is about to do, asks, and lists the rows it passes over.
#include "update/update_summary.h"

#include "update_fixture.h"

namespace cl::test {
namespace {

class UpdateSummary : public UpdateTest {
  protected:
    void SetUp() override {
        UpdateTest::SetUp();
        for (auto [code, price] : {std::pair{5, 2.0}, {6, 3.0}, {7, 4.0}, {8, 0.9}})
            insert("listi01", {{"codart", code}, {"przpub", price}, {"desart", "VECCHIA"}});
        insert("gruppi", {{"codgru", 30}, {"escgruppo", 1}});
        row(5, "8000000000051", "SU", 1, "10", 2.5);            // up
        row(6, "8000000000068", "GIU", 1, "10", 2.5);           // down
        row(7, "8000000000075", "UGUALE", 1, "10", 4.0);        // unchanged
        row(8, "8000000000082", "SOTTOCOSTO", 1, "22", 1.0);    // up, below 1.22
        row(0, "8000000000099", "NUOVO", 3, "10", 2.0);         // new, below 3.3
        row(5, "8000000000105", "GRATIS", 1, "10", 0.0);        // price 0
        row(6, "8000000000112", "BLOCCATO", 1, "10", 5.0, 30);  // group excluded
    }
    void row(long long code, const std::string& ean, const std::string& desc, double cost,
             const std::string& iva, double price, long long group = 0) {
        Row r{{"codart", code},
              {"ea1art", ean},
              {"desart", desc},
              {"coston", cost},
              {"ivart", iva},
              {"prezpubv", price},
              {"codafo", "9" + ean.substr(9)}};
        if (group) r.emplace("codgru", group);
        variatil(r);
    }
    review::UpdateSummary summary() {
        auto db = ts.session.openStore(true);
        return review::summarizeUpdate(ts.session.state, *db, settings, filter);
    }
    review::UpdateResult confirmAndRun(Answer answer) {
        messages.answers = {answer};
        auto db = ts.session.openStore(true);
        return review::applyUpdateAfterSummary(ts.session.state, *db, settings, filter, messages,
                                               progress);
    }
};

TEST_F(UpdateSummary, FiguresOfEveryCategory) {
    auto s = summary();
    EXPECT_EQ(s.rowsToUpdate, 4);
    EXPECT_EQ(s.pricesRaised, 2);
    EXPECT_EQ(s.pricesLowered, 1);
    EXPECT_EQ(s.pricesUnchanged, 1);
    EXPECT_EQ(s.pricesBelowCost, 2);
    ASSERT_EQ(s.belowCost.size(), 2u);  // named, in the order of the review
    EXPECT_EQ(s.belowCost[1].codart, 8);
    EXPECT_EQ(s.belowCost[1].descrizione, "SOTTOCOSTO");
    EXPECT_EQ(s.belowCost[1].price.plain(), "1");
    EXPECT_EQ(s.belowCost[1].cost.plain(), "1.22");
    EXPECT_EQ(s.belowCost[0].codart, 0);
    EXPECT_EQ(s.belowCost[0].ean, "8000000000099");
    EXPECT_EQ(s.articlesToCreate, 1);
    ASSERT_EQ(s.unwritten.size(), 2u);  // in the order of the review (by description)
    EXPECT_EQ(s.unwritten[0].descrizione, "BLOCCATO");
    EXPECT_EQ(s.unwritten[0].motivo, "gruppo merceologico escluso");
    EXPECT_EQ(s.unwritten[1].descrizione, "GRATIS");
    EXPECT_EQ(s.unwritten[1].motivo, "prezzo nuovo 0 o negativo");

    settings.kcrea = false;  // the new article is then not written
    s = summary();
    EXPECT_EQ(s.articlesToCreate, 0);
    EXPECT_EQ(s.pricesBelowCost, 1);
    ASSERT_EQ(s.unwritten.size(), 3u);
    EXPECT_EQ(s.unwritten[2].descrizione, "NUOVO");
    EXPECT_EQ(s.unwritten[2].motivo, "articolo nuovo, \"Crea Articoli nuovi\" non spuntato");

    settings.kpre = false;  // prices are not written: all unchanged, none below cost
    s = summary();
    EXPECT_EQ(s.pricesUnchanged, 4);
    EXPECT_EQ(s.pricesBelowCost, 0);
}

TEST_F(UpdateSummary, QuestionShowsTheFiguresAndNoWritesNothing) {
    std::string before = everything();
    auto r = confirmAndRun(Answer::No);
    EXPECT_FALSE(r.performed);
    EXPECT_EQ(everything(), before);
    EXPECT_FALSE(std::filesystem::exists(ts.storeFile().parent_path() / "DATI.history"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Aggiorna");
    EXPECT_EQ(messages.shown[0].text,
              "Righe da aggiornare: 4\n"
              "  prezzo di vendita aumentato: 2\n"
              "  prezzo di vendita diminuito: 1\n"
              "  prezzo di vendita invariato: 1\n"
              "Nuovi prezzi sotto il costo IVA compresa: 2\n"
              "  - nuovo 8000000000099 NUOVO: prezzo 2,00, costo IVA compresa 3,30\n"
              "  - 8 SOTTOCOSTO: prezzo 1,00, costo IVA compresa 1,22\n"
              "Articoli nuovi da creare: 1\n"
              "Righe non scritte nel listino: 2\n"
              "  - 8000000000112 BLOCCATO: gruppo merceologico escluso\n"
              "  - 8000000000105 GRATIS: prezzo nuovo 0 o negativo\n\n"
              "Procedere con l'aggiornamento?");
}

TEST_F(UpdateSummary, AfterYesTheClosingMessagesListTheRowsNotWritten) {
    auto r = confirmAndRun(Answer::Yes);
    ASSERT_TRUE(r.performed);
    EXPECT_EQ(q("SELECT count(*) FROM variatil"), "0");  // every row left the work list...
    ASSERT_EQ(r.unwritten.size(), 2u);                   // ...and these were told
    ASSERT_GE(messages.shown.size(), 3u);
    const auto& listed = messages.shown[messages.shown.size() - 2];
    EXPECT_EQ(listed.title, review::kUnwrittenTitle);
    EXPECT_NE(listed.text.find("8000000000105 GRATIS: prezzo nuovo 0 o negativo"),
              std::string::npos);
    EXPECT_NE(listed.text.find("BLOCCATO: gruppo merceologico escluso"), std::string::npos);
    EXPECT_EQ(messages.shown.back().text, review::kUpdateDoneMessage);
    EXPECT_EQ(q("SELECT przpub FROM listi01 WHERE codart = 8"), "1");
}

TEST_F(UpdateSummary, LongListsAreCut) {
    std::vector<review::UnwrittenRow> rows(60, {"8000000000105", "GRATIS", "prezzo"});
    std::string text = review::unwrittenList(rows);
    EXPECT_EQ(text.rfind("Righe non scritte nel listino: 60", 0), 0u);
    EXPECT_NE(text.find("... e altre 10 righe"), std::string::npos);
    EXPECT_EQ(review::unwrittenList({}), "");
    std::vector<review::BelowCostRow> below(
        51, {7, "", "SOTTOCOSTO", Money::fromDouble(1), Money::fromDouble(1.2345)});
    text = review::belowCostList(below);
    EXPECT_EQ(text.rfind("Nuovi prezzi sotto il costo IVA compresa: 51\n"
                         "  - 7 SOTTOCOSTO: prezzo 1,00, costo IVA compresa 1,2345\n",
                         0),
              0u);
    EXPECT_NE(text.find("... e altre 1 righe"), std::string::npos);
}

}  // namespace
}  // namespace cl::test
