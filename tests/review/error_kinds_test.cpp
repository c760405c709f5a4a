// The review's refusals carry a kind beside their Italian text: what the operator typed or a
// row holds is invalid input, a row that is not there is not found.
#include <gtest/gtest.h>

#include <functional>

#include "review/review_commands.h"
#include "review_fixture.h"
#include "support/refusal.h"

namespace cl::review {
namespace {

using test::Refusal;
using test::refusal;

class ReviewErrorKinds : public ReviewFixture, public ::testing::Test {};

TEST_F(ReviewErrorKinds, TypedValuesAndBadRowValuesAreInvalidInput) {
    add({.bns = 1, .ivart = "22", .coston = "1"});
    add({.bns = 2, .ivart = "XX", .coston = "2"});
    open();
    review->openRecalc();
    std::string before = store.dump("variatil");

    auto percent = refusal([&] { review->recalcFromPrice("10%"); });
    EXPECT_NE(percent.message.find("non è una percentuale valida"), std::string::npos);
    EXPECT_EQ(percent.kind, ErrorKind::InvalidInput);

    // The row's own text is wrapped with its key; the kind goes with it.
    auto vat = refusal([&] { review->recalcFromCost("30"); });
    EXPECT_NE(vat.message.find("Aliquota IVA \"XX\" non valida."), std::string::npos);
    EXPECT_NE(vat.message.find("(riga bns 2): nessun prezzo ricalcolato."), std::string::npos);
    EXPECT_EQ(vat.kind, ErrorKind::InvalidInput);

    auto code = refusal([&] { review->search(SearchKind::Code, "abc"); });
    EXPECT_NE(code.message.find("non è un codice articolo"), std::string::npos);
    EXPECT_EQ(code.kind, ErrorKind::InvalidInput);
    EXPECT_EQ(store.dump("variatil"), before);
}

TEST_F(ReviewErrorKinds, ARowKeyThatIsNotThereIsNotFoundAndChangesNothing) {
    add({.bns = 1, .sel = ""});
    open();
    std::string before = store.dump("variatil");
    auto missing = refusal([&] { toggleSelections(*db, {1, 999}); });
    EXPECT_EQ(missing.message,
              "Attenzione ... Nessuna riga con bns = 999: nessuna selezione cambiata.");
    EXPECT_EQ(missing.kind, ErrorKind::NotFound);
    EXPECT_EQ(store.dump("variatil"), before);  // bns 1 not toggled either
}

}  // namespace
}  // namespace cl::review
