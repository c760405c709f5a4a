// What a caller learns from the kind of a history refusal, beside its Italian text.
#include <gtest/gtest.h>

#include <functional>

#include "app/failure_message.h"
#include "history/journal_fixture.h"
#include "history/labels.h"
#include "history/price_changes.h"
#include "history/price_history.h"
#include "history/restore_check.h"
#include "history/undo.h"
#include "support/refusal.h"

namespace cl {
namespace {

using test::Refusal;
using test::refusal;

TEST_F(JournalTest, NothingRecordedYetIsNotFound) {
    test::RecordingMessages m;
    auto undo = refusal([&] { history::undoUpdate(t.session, std::nullopt, m); });
    EXPECT_EQ(undo.message, "Attenzione ... Nessun aggiornamento da annullare.");
    EXPECT_EQ(undo.kind, ErrorKind::NotFound);
    auto restore = refusal([&] { history::restoreCheck(t.session, std::nullopt, m); });
    EXPECT_EQ(restore.message, "Attenzione ... Nessun controllo da ripristinare.");
    EXPECT_EQ(restore.kind, ErrorKind::NotFound);
    auto labels = refusal([&] { history::labelsToReprint(t.session, std::nullopt); });
    EXPECT_EQ(labels.message, "Attenzione ... Nessun aggiornamento registrato.");
    EXPECT_EQ(labels.kind, ErrorKind::NotFound);
    EXPECT_TRUE(m.shown.empty());

    // Nothing to act on is no fault: the screens show it with the information icon.
    for (auto act : std::vector<std::function<void()>>{
             [&] { history::undoUpdate(t.session, std::nullopt, m); },
             [&] { history::restoreCheck(t.session, std::nullopt, m); },
             [&] { history::labelsToReprint(t.session, std::nullopt); }}) {
        try {
            act();
        } catch (const std::exception& e) {
            showFailure(m, e);
        }
    }
    ASSERT_EQ(m.shown.size(), 3u);
    for (const auto& s : m.shown) EXPECT_EQ(s.icon, Icon::Information) << s.text;
    m.shown.clear();
    showFailure(m, Error("Attenzione ... L'aggiornamento 99 non esiste.", ErrorKind::NotFound));
    EXPECT_EQ(m.shown.at(0).icon, Icon::Critical);
}

TEST_F(JournalTest, AMissingRunOrArticleIsNotFoundAndABadCodeIsInvalidInput) {
    update();
    test::RecordingMessages m;
    auto undo = refusal([&] { history::undoUpdate(t.session, 99, m); });
    EXPECT_EQ(undo.message, "Attenzione ... L'aggiornamento 99 non esiste.");
    EXPECT_EQ(undo.kind, ErrorKind::NotFound);
    auto changes = refusal([&] { history::priceChangesOfRun(t.session, 99); });
    EXPECT_EQ(changes.message, "Attenzione ... L'aggiornamento 99 non esiste.");
    EXPECT_EQ(changes.kind, ErrorKind::NotFound);
    auto article = refusal([&] { history::labelsForArticles(t.session, {1, 99}); });
    EXPECT_NE(article.message.find("L'articolo 99 non esiste"), std::string::npos);
    EXPECT_EQ(article.kind, ErrorKind::NotFound);
    auto ean = refusal([&] { history::historyByEan(t.session, "8000000000999"); });
    EXPECT_EQ(ean.message, "Attenzione ... Il codice EAN 8000000000999 non è presente.");
    EXPECT_EQ(ean.kind, ErrorKind::NotFound);
    // What the operator typed is invalid input: the command line turns it into a usage error.
    auto codes = refusal([] { history::articleCodes("12;15"); });
    EXPECT_NE(codes.message.find("non è un numero intero valido"), std::string::npos);
    EXPECT_EQ(codes.kind, ErrorKind::InvalidInput);
}

TEST_F(JournalTest, AnUndoneRunIsARefusalOfItsOwnKind) {
    long long run = update();
    test::RecordingMessages m;
    m.answers = {Answer::Yes, Answer::Yes};
    ASSERT_TRUE(history::undoUpdate(t.session, run, m));
    auto again = refusal([&] { history::undoUpdate(t.session, run, m); });
    EXPECT_NE(again.message.find("è già stato annullato"), std::string::npos);
    // Neither missing nor the operator's typing: a plain refusal.
    EXPECT_EQ(again.kind, ErrorKind::Other);
}

}  // namespace
}  // namespace cl
