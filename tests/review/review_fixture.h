#pragma once
#include <memory>
#include <string>
#include <vector>

#include "review/review_controller.h"
#include "review/review_grid.h"
#include "support/variatil_rows.h"

namespace cl::review {

// A store with a few variatil rows and the review opened on supplier 12.
struct ReviewFixture {
    test::TempStore store;
    test::RecordingMessages messages;
    test::RecordingProgress progress;
    std::unique_ptr<store::Database> db;
    std::unique_ptr<ReviewController> review;

    void add(const test::VariatilRow& r) { test::addVariatil(store, r); }
    void open(long long supplier = 12) {
        store.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) SELECT 12, 'ORTOFRUTTA SRL' "
            "WHERE NOT EXISTS (SELECT 1 FROM fornitori WHERE codfornitore = 12)");
        store.session.state.codice_fornitore = supplier;
        db = store.session.openStore();
        review = std::make_unique<ReviewController>(store.session, *db, messages, progress);
        review->open();
    }
    // The descriptions shown, in grid order.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (size_t i = 0; i < review->rows().count(); ++i)
            out.push_back(review->rows().row(i)[kDescrizione].text());
        return out;
    }
    // A field of every row in key order, each as the engine gives it ("-" for null), "|" after
    // each: numbers read as numbers, so that both engines give the same text.
    std::string column(const std::string& field) {
        std::string out;
        auto connection = store.openStoreDb();
        auto st = connection->prepare("SELECT " + field + " FROM variatil ORDER BY bns");
        while (st.step())
            out += (st.value(0).isNull() ? std::string("-") : st.value(0).text()) + "|";
        return out;
    }
    std::string sel(long long bns) {
        return store.scalar("SELECT coalesce(sel, '<null>') FROM variatil WHERE bns = " +
                            std::to_string(bns));
    }
};

}  // namespace cl::review
