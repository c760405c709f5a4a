// The check screen's counters after a run that was rolled back or declined.
#include <gtest/gtest.h>

#include <QApplication>

#include "check/ui/check_screen.h"
#include "support/refused_write.h"
#include "support/temp_store.h"
#include "test_application.h"

namespace cl::test {
namespace {

QApplication& app() {
    return testApplication();
}

TEST(CheckScreenCounters, ClearedAfterAFailedOrDeclinedRun) {
    app();
    TempStore t;
    t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
    for (int i = 1; i <= 4; ++i) {
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, ivart, umart, artvariato) VALUES (" +
            std::to_string(i) + ", 'ARTICOLO " + std::to_string(i) + "', 10, '22', 'PZ', 'S')");
        t.execFixed("INSERT INTO codean (eanare, codare) VALUES ('800000000000" +
                    std::to_string(i) + "', " + std::to_string(i) + ")");
    }
    // The work table refuses its third row: the run fails midway, after counting.
    refuseWrites(t, "full", "BEFORE INSERT", "variatil", "(SELECT count(*) FROM variatil) >= 2",
                 "disco pieno");
    RecordingMessages messages;
    check::ui::CheckScreen screen(t.session, messages);
    check::CheckScreenState s;
    screen.load(check::formLoad(t.session, s), s);
    int reviews = 0;
    screen.onRunEnded = [&](const check::RunReport&) { ++reviews; };
    screen.show();
    screen.DBCombo3->setCurrentIndex(0);
    emit screen.DBCombo3->activated(0);

    EXPECT_EQ(screen.command1().outcome, check::RunOutcome::Failed);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("disco pieno"), std::string::npos);
    EXPECT_EQ(screen.cntw->text(), "");
    EXPECT_EQ(screen.bnsw->text(), "");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "0");

    // A review still to apply, kept by answering No: nothing counted either.
    allowWrites(t, "full", "variatil");
    t.exec("INSERT INTO variatil (bns, codfor, sel) VALUES (1, 12, 'X')");
    screen.cntw->setText("3");  // what an earlier run left
    EXPECT_EQ(screen.command1().outcome, check::RunOutcome::Declined);
    EXPECT_EQ(screen.cntw->text(), "");
    EXPECT_EQ(screen.bnsw->text(), "");
    EXPECT_EQ(reviews, 1);  // the review opens on the rows kept
}

}  // namespace
}  // namespace cl::test
