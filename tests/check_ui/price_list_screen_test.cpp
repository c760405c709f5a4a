#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "check/start_up.h"
#include "check/ui/check_screen.h"
#include "check/ui/price_list_dialog.h"
#include "pricelist/price_list.h"
#include "support/temp_store.h"
#include "test_application.h"

namespace cl::test {
namespace {

QApplication& application() {
    return testApplication();
}

QString fixture(const char* name) {
    return QString(CL_SOURCE_DIR) + "/tests/pricelist/fixtures/" + name;
}

class PriceListScreen : public ::testing::Test {
  protected:
    PriceListScreen() {
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, artvariato) "
            "VALUES (1, 'MARCATO', 1, 'S')");
        check::CheckScreenState s;
        screen.load(check::formLoad(t.session, s), s);
        screen.onRunEnded = [this](const check::RunReport&) { ++reviews; };
        screen.showProblems = [this](const auto& p) { problems = p; };
    }
    void chooseSupplier() {
        screen.DBCombo3->setCurrentIndex(0);
        emit screen.DBCombo3->activated(0);
    }
    bool appReady = (application(), true);
    TempStore t;
    RecordingMessages messages;
    check::ui::CheckScreen screen{t.session, messages};
    int reviews = 0;
    std::vector<pricelist::RowProblem> problems;
};

TEST_F(PriceListScreen, WithoutSupplierNoFileIsAskedFor) {
    bool asked = false;
    screen.chooseFile = [&] {
        asked = true;
        return QString();
    };
    EXPECT_EQ(screen.CommandListino->text(), "Listino da file…");
    screen.CommandListino->click();
    EXPECT_FALSE(asked);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "ATTENZIONE !!!. Non è stato selezionato il Fornitore...");
}

TEST_F(PriceListScreen, ColumnsGuessedShownChangedThenTheFileIsChecked) {
    chooseSupplier();
    screen.chooseFile = [] { return fixture("italiano_bom.csv"); };
    screen.chooseColumns = [this](const QString& file, pricelist::Sheet& sheet,
                                  pricelist::ColumnMap& map) {
        check::ui::PriceListDialog dialog(file, sheet, nullptr, &screen);
        using pricelist::Field;
        auto shown = [&](Field f) {
            return dialog.fieldBoxes[size_t(f)]->currentText().toStdString();
        };
        EXPECT_EQ(shown(Field::Ean), "A: EAN");
        EXPECT_EQ(shown(Field::Code), "B: Cod. Art.");
        EXPECT_EQ(shown(Field::Cost), "D: Costo");
        EXPECT_EQ(shown(Field::Price), "F: Prezzo vendita");
        EXPECT_EQ(shown(Field::Unit), "(nessuna)");
        EXPECT_EQ(dialog.headingBox->currentText(), "riga 4");
        EXPECT_TRUE(dialog.okButton->isEnabled());
        EXPECT_EQ(dialog.preview->item(3, 2)->text().toStdString(), "PASTA DI SEMOLA; 500 g");
        dialog.resize(820, 520);
        if (const char* dir = std::getenv("CL_SCREENSHOTS"))
            dialog.grab().save(QString(dir) + "/price-list-columns.png");
        // Without a cost column the check cannot start; the operator puts it back.
        dialog.fieldBoxes[size_t(Field::Cost)]->setCurrentIndex(0);
        EXPECT_FALSE(dialog.okButton->isEnabled());
        dialog.fieldBoxes[size_t(Field::Cost)]->setCurrentIndex(4);
        // The suggested price left out by the operator.
        dialog.fieldBoxes[size_t(Field::Price)]->setCurrentIndex(0);
        sheet = dialog.sheet();
        map = dialog.columns();
        return true;
    };
    auto r = screen.commandListino();
    ASSERT_EQ(r.outcome, check::RunOutcome::Done);
    EXPECT_EQ(reviews, 1);
    EXPECT_EQ(screen.cntw->text(), "3");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil WHERE prezpubv = 9.9"), "0");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 8);
    EXPECT_EQ(t.scalarFixed("SELECT artvariato FROM articolo"), "S");
}

// Amounts that all read two ways: the window asks for the decimal separator rather than guess.
TEST_F(PriceListScreen, AmbiguousAmountsAreAskedInTheWindow) {
    const auto sheet = pricelist::readPriceListBytes("Codice;Costo\nA1;1.250\nA2;2.750\n");
    check::ui::PriceListDialog dialog("listino.csv", sheet, nullptr, &screen);
    EXPECT_FALSE(dialog.okButton->isEnabled());
    EXPECT_TRUE(dialog.status->text().contains("si leggono in due modi"))
        << dialog.status->text().toStdString();
    dialog.resize(820, 520);
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        dialog.grab().save(QString(dir) + "/price-list-decimals.png");
    dialog.decimalBox->setCurrentIndex(2);  // point
    EXPECT_TRUE(dialog.okButton->isEnabled());
    auto l = pricelist::extractRows(dialog.sheet(), dialog.columns());
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_DOUBLE_EQ(l.rows[0].cost, 1.25);
}

TEST_F(PriceListScreen, RowsLeftOutAreShownAfterTheRun) {
    chooseSupplier();
    screen.chooseFile = [] { return fixture("italiano_bom.csv"); };
    screen.chooseColumns = [](const QString&, pricelist::Sheet&, pricelist::ColumnMap&) {
        return true;  // the guessed columns
    };
    screen.showProblems = nullptr;  // the screen's own window
    QString shown;
    // The run lets the window paint, so the window is awaited rather than timed.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || box->windowTitle() != "Righe del listino") return;
        poll.stop();
        if (auto* text = box->findChild<QPlainTextEdit*>()) shown = text->toPlainText();
        if (const char* dir = std::getenv("CL_SCREENSHOTS"))
            box->grab().save(QString(dir) + "/price-list-rows.png");
        box->accept();
    });
    poll.start(20);
    EXPECT_EQ(screen.commandListino().outcome, check::RunOutcome::Done);
    EXPECT_TRUE(shown.contains("Riga 8: manca il costo (non controllata)")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Riga 9: mancano codice fornitore ed EAN"));
}

TEST_F(PriceListScreen, UnreadableFileIsToldAndNothingRuns) {
    chooseSupplier();
    const auto text = t.root / "appunti.txt";
    std::ofstream(text) << "Appunti del mese\nnessun listino qui, solo parole\n";
    screen.chooseFile = [&] { return QString::fromStdString(text.string()); };
    bool dialogShown = false;
    screen.chooseColumns = [&](const QString&, pricelist::Sheet&, pricelist::ColumnMap&) {
        dialogShown = true;
        return false;  // "Annulla"
    };
    EXPECT_EQ(screen.commandListino().outcome, check::RunOutcome::Failed);
    EXPECT_TRUE(dialogShown);  // a text without headings: the operator may still place them
    EXPECT_EQ(reviews, 0);
    screen.chooseFile = [] { return QString("/nonexistent/listino.xlsx"); };
    screen.commandListino();
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(messages.shown.back().text.find("Impossibile aprire"), std::string::npos);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "0");
}

}  // namespace
}  // namespace cl::test
