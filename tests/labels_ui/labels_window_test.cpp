#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include "history/ui/history_screens.h"
#include "history/undo.h"
#include "labels/labels_fixture.h"
#include "store/write_transactions.h"
#include "support/temp_dir.h"
#include "ui/widget_application.h"

namespace cl::test {
namespace {

struct LabelsWindowTest : LabelsStore {
    TempDir out;
    LabelsWindowTest() { cl::ui::ensureWidgetApplication(); }
    // Closes the next message box and keeps its text.
    std::shared_ptr<QString> catchMessage() {
        auto text = std::make_shared<QString>();
        QTimer::singleShot(50, [text] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *text = box->text();
                EXPECT_EQ(store::openWriteTransactions(), 0) << text->toStdString();
                box->accept();
            }
        });
        return text;
    }
};

TEST_F(LabelsWindowTest, LayoutCopiesPdfSpreadsheetAndPriceFileFromTheWindow) {
    update();
    history::ui::LabelsWindow window(t.session, std::nullopt);
    window.show();
    EXPECT_EQ(window.list().labels.size(), 4u);
    EXPECT_EQ(window.layoutName(), "a4-3x8");
    auto* copies = window.findChild<QSpinBox*>();
    ASSERT_TRUE(copies);
    window.chooseLayout("rotolo-58");
    window.setCopies(2);
    EXPECT_EQ(window.copies(), 2);
    EXPECT_TRUE(window.savePdf(QString::fromStdString((out.path / "r.pdf").string())));
    EXPECT_TRUE(std::filesystem::exists(out.path / "r.pdf"));
    // The list prints once: the copies box is off for it.
    window.chooseLayout("elenco");
    EXPECT_FALSE(copies->isEnabled());
    EXPECT_EQ(window.copies(), 1);
    EXPECT_TRUE(window.exportXlsx(QString::fromStdString((out.path / "e.xlsx").string())));
    EXPECT_TRUE(window.exportPriceChanges(QString::fromStdString((out.path / "p.csv").string())));
    EXPECT_EQ(fileBytes(out.path / "p.csv").substr(0, 3), "\xEF\xBB\xBF");
    for (const char* caption : {"Stampa", "Salva PDF", "Esporta in Excel", "Esporta CSV",
                                "Prezzi per bilance e casse", "Uscita"}) {
        bool found = false;
        for (auto* b : window.findChildren<QPushButton*>()) found = found || b->text() == caption;
        EXPECT_TRUE(found) << caption;
    }
    window.chooseLayout("a4-3x8");
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        window.grab().save(QString(dir) + "/labels-window.png");

    // A failure is said, and nothing is written.
    auto said = catchMessage();
    EXPECT_FALSE(window.exportXlsx(QString::fromStdString((out.path / "no" / "e.xlsx").string())));
    EXPECT_TRUE(said->startsWith("Attenzione ... Impossibile scrivere")) << said->toStdString();
}

TEST_F(LabelsWindowTest, StampaPreviewsThePagesOfTheChosenLayout) {
    update();
    history::ui::LabelsWindow window(t.session, std::nullopt);
    window.show();
    struct Case {
        const char* layout;
        int copies, pages;
    };
    // 4 labels: one A4 sheet, 4 x 3 roll labels, the list on one page.
    for (auto c : {Case{"a4-3x8", 1, 1}, Case{"rotolo-58", 3, 12}, Case{"elenco", 1, 1}}) {
        SCOPED_TRACE(c.layout);
        window.chooseLayout(c.layout);
        window.setCopies(c.copies);
        int pages = -1;
        QString title;
        QTimer::singleShot(100, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            if (auto* view = dialog->findChild<QPrintPreviewWidget*>()) {
                view->updatePreview();
                pages = view->pageCount();
            }
            title = dialog->windowTitle();
            if (c.pages == 12 && std::getenv("CL_SCREENSHOTS"))
                dialog->grab().save(QString(std::getenv("CL_SCREENSHOTS")) + "/labels-preview.png");
            dialog->reject();
        });
        for (auto* b : window.findChildren<QPushButton*>())
            if (b->text() == "Stampa") b->click();
        EXPECT_EQ(pages, c.pages);
        EXPECT_EQ(title.toStdString(), "Anteprima di stampa - Etichette da ristampare");
    }
}

TEST_F(LabelsWindowTest, AfterAnUndoTheWindowOffersTheOldPricesBack) {
    long long run = update();
    RecordingMessages yes;
    yes.answers = {Answer::Yes};
    ASSERT_TRUE(history::undoUpdate(t.session, std::nullopt, yes));
    history::ui::LabelsWindow window(t.session, run);
    ASSERT_EQ(window.list().labels.size(), 3u);
    EXPECT_TRUE(window.list().undone);
    auto* table = window.findChild<QTableWidget*>();
    ASSERT_TRUE(table);
    // Sorted by description: MOZZARELLA, OLIO, PROSCIUTTO; the oil goes back to 6,90.
    EXPECT_EQ(table->item(1, 3)->text(), "7,14");
    EXPECT_EQ(table->item(1, 4)->text(), "6,90");
    EXPECT_TRUE(window.exportPriceChanges(QString::fromStdString((out.path / "p.csv").string())));
    EXPECT_NE(fileBytes(out.path / "p.csv").find(";7,14;6,90;13,80;LT;N\r\n"), std::string::npos);
}

TEST_F(LabelsWindowTest, HistoryWindowExportsTheArticleShown) {
    update();
    history::ui::HistoryWindow window(t.session);
    window.show();
    auto said = catchMessage();
    EXPECT_FALSE(window.exportXlsx(QString::fromStdString((out.path / "s.xlsx").string())));
    EXPECT_EQ(said->toStdString(), "Attenzione ... Cercare prima un articolo da esportare.");
    window.search("2", false);
    EXPECT_TRUE(window.exportXlsx(QString::fromStdString((out.path / "s.xlsx").string())));
    EXPECT_TRUE(std::filesystem::exists(out.path / "s.xlsx"));
}

}  // namespace
}  // namespace cl::test
