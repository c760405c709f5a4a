// After a recalculation the margin (rica) belongs to the new price; hand-typed prices are asked
// about.
#include <gtest/gtest.h>

#include "app/money.h"
#include "review_fixture.h"
#include "store/error.h"
#include "store/write_transactions.h"
#include "support/other_process.h"
#include "update/update_run.h"

namespace cl::review {
namespace {

using HandTyped = ReviewController::HandTyped;

class RecalcMargin : public ReviewFixture, public ::testing::Test {
  protected:
    double number(const std::string& field, long long bns) {
        return std::stod(
            store.scalar("SELECT " + field + " FROM variatil WHERE bns = " + std::to_string(bns)));
    }
    void handTyped(long long bns) {
        store.exec("UPDATE variatil SET modificatoamano = '1' WHERE bns = " + std::to_string(bns));
    }
    // The check run's margin: on the net price, against the new cost.
    static double margin(double price, double vat, double cost) {
        double net = price / (1 + vat / 100);
        return (net - cost) / net * 100;
    }
};

TEST_F(RecalcMargin, BothRecalculationsSetTheMarginOfTheNewPrice) {
    // Costs whose recalculated prices fall on whole cents, so the margins are exact.
    add({.bns = 1, .ivart = "22", .prezpub = "10", .coston = "10", .rica = "18"});
    add({.bns = 2, .ivart = "10", .prezpub = "4", .coston = "5", .rica = "18"});
    open();
    review->openRecalc();
    review->recalcFromPrice("10");
    EXPECT_DOUBLE_EQ(number("prezpubv", 1), 11);
    EXPECT_NEAR(number("rica", 1), margin(11, 22, 10), 1e-9);
    EXPECT_NEAR(number("rica", 2), margin(4.4, 10, 5), 1e-9);

    open();
    review->openRecalc();
    review->recalcFromCost("30");  // 10 + 30 % = 13, + 22 % = 15.86
    EXPECT_DOUBLE_EQ(number("prezpubv", 1), 15.86);
    EXPECT_NEAR(number("rica", 1), margin(15.86, 22, 10), 1e-9);
    EXPECT_NEAR(number("rica", 1), 23.0769230769, 1e-6);  // (13 - 10) / 13
    EXPECT_NEAR(number("rica", 2), 23.0769230769, 1e-6);
}

TEST_F(RecalcMargin, WhereTheFormulaGivesZeroTheMarginStays) {
    add({.bns = 1, .prezpub = "0", .coston = "9", .rica = "18"});                // a price of 0
    add({.bns = 2, .prezpub = "10", .coston = "NULL", .rica = "17"});            // no cost
    add({.bns = 3, .ivart = "0", .prezpub = "9", .coston = "9", .rica = "16"});  // net = cost
    open();
    review->openRecalc();
    EXPECT_EQ(review->recalcFromPrice("0"), 3);
    EXPECT_EQ(column("rica"), "18|17|16|");
}

// Prices are written many rows at a time: each row gets its own price and margin, whatever
// block it falls in, and rows skipped or outside the view keep theirs.
TEST_F(RecalcMargin, EveryRowOfSeveralBlocksGetsItsOwnPriceAndMargin) {
    const int rows = 150;
    for (int i = 1; i <= rows; ++i)
        add({.bns = i,
             .codfor = i % 10 == 0 ? 99 : 12,
             .codart = i,
             .prezpub = i % 7 == 0 ? "0" : std::to_string(i),
             .prezpubv = "1",
             .coston = "0.5",
             .rica = i % 7 == 0 ? "NULL" : "18"});
    long long edited = 0;  // hand-typed rows of the supplier in view
    for (int i = 3; i <= rows; i += 11) {
        handTyped(i);
        if (i % 10 != 0) ++edited;
    }
    open();
    review->openRecalc();
    EXPECT_EQ(review->recalcFromPrice("10", HandTyped::Keep), rows - rows / 10 - edited);
    auto connection = store.openStoreDb();
    auto st = connection->prepare("SELECT bns, prezpubv, rica FROM variatil ORDER BY bns");
    int seen = 0;
    while (st.step()) {
        const long long bns = st.value(0).integer();
        ++seen;
        const bool kept = bns % 10 == 0 || (bns >= 3 && (bns - 3) % 11 == 0);
        const double price = kept ? 1 : bns % 7 == 0 ? 0 : roundHalfEven(bns * 1.1, 4);
        EXPECT_NEAR(st.value(1).number(), price, 1e-9) << "bns " << bns;
        if (kept || bns % 7 == 0)  // untouched, or a price of 0 keeps the margin
            EXPECT_EQ(st.value(2).text(), bns % 7 == 0 ? "" : "18") << "bns " << bns;
        else
            EXPECT_NEAR(st.value(2).number(), margin(price, 22, 0.5), 1e-9) << "bns " << bns;
    }
    EXPECT_EQ(seen, rows);
}

TEST_F(RecalcMargin, HandTypedPricesAreAskedAboutDefaultYes) {
    add({.bns = 1, .prezpub = "10", .prezpubv = "12.5", .rica = "18"});
    add({.bns = 2, .prezpub = "10", .prezpubv = "11"});
    handTyped(1);
    open();
    review->openRecalc();
    struct Asked : Messages {
        std::string text;
        Answer defaultAnswer = Answer::No;
        void show(const std::string&, Icon, const std::string&) override {}
        Answer ask(const std::string& t, const std::string&, Icon, Answer d) override {
            EXPECT_EQ(store::openWriteTransactions(), 0) << t;
            text = t;
            defaultAnswer = d;
            return Answer::No;
        }
    } asked;
    ReviewController answering(store.session, *db, asked, progress);
    answering.open();
    answering.openRecalc();
    EXPECT_EQ(answering.recalcFromPrice("10"), 1);
    EXPECT_EQ(asked.text,
              "1 dei prezzi selezionati è stato modificato a mano. Ricalcolare anche questo?");
    EXPECT_EQ(asked.defaultAnswer, Answer::Yes);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE bns = 1"), "12.5");
    EXPECT_EQ(store.scalar("SELECT rica FROM variatil WHERE bns = 1"), "18");
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE bns = 2"), "11");

    // Told by the caller (the command line): no question.
    messages.shown.clear();
    EXPECT_EQ(review->recalcFromPrice("20", HandTyped::Keep), 1);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE bns = 1"), "12.5");
    EXPECT_EQ(review->recalcFromPrice("20", HandTyped::Recalculate), 2);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE bns = 1"), "12");
    for (const auto& m : messages.shown) EXPECT_EQ(m.text, " Elaborazione terminata");

    // Answered Yes: every selected row.
    messages.answers = {Answer::Yes};
    EXPECT_EQ(review->recalcFromPrice("30"), 2);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE bns = 1"), "13");
}

TEST_F(RecalcMargin, CreatedArticleStoresTheMarginOfTheRecalculatedPrice) {
    add({.bns = 1,
         .codart = 0,
         .ean = "8001234567892",
         .ivart = "22",
         .codafo = "NUOVO1",
         .prezpub = "0",
         .prezpubv = "5",
         .coston = "10",
         .rica = "18"});
    open();
    review->openRecalc();
    review->recalcFromCost("30");
    double rica = number("rica", 1);
    EXPECT_NEAR(rica, 23.0769230769, 1e-6);
    db.reset();
    review.reset();

    auto updateDb = store.session.openStore(true);
    UpdateSettings settings = settingsAfterReviewLoad(std::nullopt);
    ReviewFilter filter;
    filter.supplier = 12;
    filter.selectedOnly = true;
    UpdateResult r =
        applyUpdate(store.session.state, *updateDb, settings, filter, messages, progress);
    ASSERT_EQ(r.creati, 1);
    EXPECT_NEAR(std::stod(store.scalar("SELECT ricart FROM listi01")), rica, 1e-9);
    EXPECT_EQ(store.scalar("SELECT przpub FROM listi01"), "15.86");
}

TEST_F(RecalcMargin, PricesTypedByHandWhileAskedStopTheRecalculation) {
    add({.bns = 1, .prezpub = "10", .prezpubv = "12.5", .rica = "18"});
    add({.bns = 2, .prezpub = "10", .prezpubv = "11"});
    handTyped(1);
    open();
    test::WaitingMessages asked;
    asked.answers = {Answer::Yes};
    std::string afterOthers;
    asked.whileAsked = [&](const std::string&) {
        // Typed on another workstation while the question is open: the operator agreed to
        // recalculate one such price, not two.
        test::expectWrittenMeanwhile(test::writeFromAnotherProcess(
            store, false,
            "UPDATE variatil SET prezpubv = 11.5, modificatoamano = '1' "
            "WHERE bns = 2"));
        afterOthers = store.dump("variatil");
    };
    ReviewController answering(store.session, *db, asked, progress);
    answering.open();
    answering.openRecalc();
    try {
        answering.recalcFromPrice("10");
        ADD_FAILURE() << "a price typed by hand after the question was recalculated";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), kEditedSinceQuestion);
    }
    EXPECT_EQ(store.dump("variatil"), afterOthers);
    // Asked again about both, the operator's Yes covers them.
    asked.whileAsked = nullptr;
    asked.answers = {Answer::Yes};
    EXPECT_EQ(answering.recalcFromPrice("10"), 2);
    EXPECT_EQ(asked.shown.back().text, " Elaborazione terminata");
}

}  // namespace
}  // namespace cl::review
