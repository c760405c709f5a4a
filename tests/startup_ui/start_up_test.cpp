// The program's start-up with no command, as the operator meets it: the check screen, the
// automatic run with a remembered supplier, and what happens when the databases cannot be used.
#include "check/start_up.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "check/check_commands.h"
#include "check/ui/check_screen.h"
#include "review/ui/review_screen.h"
#include "store/database.h"
#include "store/error.h"
#include "support/temp_store.h"
#include "ui/gui_main.h"
#include "ui/window_place.h"

namespace cl::ui {
namespace {

namespace fs = std::filesystem;

QApplication& app() {
    static int argc = 1;
    static char name[] = "tests_startup_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

QWidget* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

// Answers every message box that opens (No to questions), noting its text, the widget it
// opened over and whether the check screen was already on screen.
class MessageBoxes {
  public:
    struct Box {
        std::string text;
        QWidget* parent;
        bool checkScreenShown;
    };
    MessageBoxes() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (!box || !box->isVisible()) continue;
                test::expectNoWriteTransaction(box->text().toStdString());
                seen.push_back({box->text().toStdString(), box->parentWidget(),
                                topLevel("lis04g") != nullptr});
                QAbstractButton* b = box->button(QMessageBox::No);
                if (!b) b = box->button(QMessageBox::Ok);
                b->click();
            }
        });
        timer_.start();
    }
    std::vector<Box> seen;

  private:
    QTimer timer_;
};

class StartUp : public ::testing::Test {
  protected:
    QApplication& application = app();
    test::TempStore t;
    MessageBoxes boxes;
    QtMessages messages;

    void SetUp() override { t.session.accessMessages = &messages; }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets()) w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A fresh program run on the same root: nothing located yet.
    std::optional<int> start() {
        session = std::make_unique<Session>(t.root, 'C');
        session->accessMessages = &messages;
        return startScreens(*session, messages);
    }
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    std::unique_ptr<Session> session;
};

TEST_F(StartUp, NoRememberedSupplierToldBeforeTheScreenShowsThenItWaits) {
    t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
    ASSERT_EQ(start(), std::nullopt);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text, check::kNoSupplier);
    EXPECT_FALSE(boxes.seen[0].checkScreenShown);
    settle();
    EXPECT_NE(topLevel("lis04g"), nullptr);
    EXPECT_EQ(topLevel("art17t"), nullptr);
    EXPECT_EQ(t.scalar("SELECT count(*) FROM parametri"), "0");
}

class RememberedSupplier : public StartUp {
  protected:
    void SetUp() override {
        StartUp::SetUp();
        t.exec(
            "INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA');"
            "INSERT INTO parametri (tipo, acos, aric, apv, creart, cliente, tiposel) "
            "VALUES ('01L', 0, 0, 1, 1, 12, 4);");
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, ivart, umart, artvariato) "
            "VALUES (1, 'PANE', 2, '04', 'PZ', 'S');"
            "INSERT INTO codean (eanare, codare) VALUES ('8000000000011', 1);");
    }
    // The start-up up to the announced check; the count down is driven by the test.
    check::ui::AutoCheckBar* announced() {
        if (start() != std::nullopt) return nullptr;
        auto* screen = topLevel("lis04g");
        if (!screen) return nullptr;
        auto* bar = screen->findChild<check::ui::AutoCheckBar*>("AutoCheck");
        if (bar) bar->timer()->stop();
        return bar;
    }
};

TEST_F(RememberedSupplier, TheCheckIsAnnouncedCountedDownThenRun) {
    auto* bar = announced();
    ASSERT_NE(bar, nullptr);
    QPointer<QWidget> checkScreen = topLevel("lis04g");
    settle();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->text->text(), "Controllo automatico per ROSSI SPA tra 5 secondi");
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        checkScreen->grab().save(QString(dir) + "/check-countdown.png");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "0");  // not before the count down
    for (int i = 0; i < 3; ++i) bar->tick();
    EXPECT_EQ(bar->text->text(), "Controllo automatico per ROSSI SPA tra 2 secondi");
    bar->tick();
    EXPECT_EQ(bar->text->text(), "Controllo automatico per ROSSI SPA tra 1 secondo");
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "0");
    bar->tick();
    settle();
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "1");
    EXPECT_NE(topLevel("art17t"), nullptr);
    EXPECT_TRUE(checkScreen.isNull());  // closed and deleted by the end of the run

    // The start-up's messages serve the rest of the program (an Access delivery converted
    // while the update opens the databases): their boxes open over a screen that exists.
    boxes.seen.clear();
    messages.show("Nuova fornitura", Icon::Information, {});
    ASSERT_EQ(boxes.seen.size(), 1u);
    QWidget* parent = boxes.seen[0].parent;
    EXPECT_TRUE(parent == nullptr || QApplication::topLevelWidgets().contains(parent));

    // "Nuovo controllo" goes back to the check screen, with no automatic run this time.
    auto* review = topLevel("art17t");
    auto* again = review->findChild<QAbstractButton*>("CommandNuovoControllo");
    ASSERT_NE(again, nullptr);
    if (const char* dir = std::getenv("CL_SCREENSHOTS"))
        review->grab().save(QString(dir) + "/review-new-check.png");
    EXPECT_EQ(again->text(), "Nuovo controllo");
    again->click();
    settle();
    EXPECT_EQ(topLevel("art17t"), nullptr);
    auto* screen = topLevel("lis04g");
    ASSERT_NE(screen, nullptr);
    EXPECT_FALSE(screen->findChild<check::ui::AutoCheckBar*>("AutoCheck")->isVisible());
}

TEST_F(RememberedSupplier, AnnullaLeavesTheCheckScreenReadyAndAvviaOraRunsAtOnce) {
    auto* bar = announced();
    ASSERT_NE(bar, nullptr);
    bar->cancelButton->click();
    for (int i = 0; i < 6; ++i) bar->tick();
    settle();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "0");
    auto* screen = qobject_cast<check::ui::CheckScreen*>(topLevel("lis04g"));
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->Command1->isEnabled());
    EXPECT_TRUE(screen->CommandListino->isEnabled());
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    settle();

    bar = announced();
    ASSERT_NE(bar, nullptr);
    bar->startNow->click();
    settle();
    EXPECT_EQ(t.scalar("SELECT count(*) FROM variatil"), "1");
    EXPECT_NE(topLevel("art17t"), nullptr);
}

TEST_F(RememberedSupplier, ASecondCopyOnTheStoreIsToldWhoHasItAndNoEndsIt) {
    ASSERT_NE(announced(), nullptr);
    auto firstCopy = std::move(session);
    boxes.seen.clear();
    // The second copy: the question, answered No, ends it with nothing opened or run.
    EXPECT_EQ(start(), std::optional<int>(1));
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_NE(boxes.seen[0].text.find("Il negozio è già aperto su "), std::string::npos)
        << boxes.seen[0].text;
    EXPECT_NE(boxes.seen[0].text.find("sola lettura"), std::string::npos);
    EXPECT_FALSE(session->storeLock);
    // The first copy ends: the next one starts as usual.
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    settle();
    firstCopy.reset();
    boxes.seen.clear();
    ASSERT_NE(announced(), nullptr);
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(RememberedSupplier, AReadOnlyCopyWritesNothing) {
    ASSERT_EQ(start(), std::nullopt);  // holds the store
    Session looking(t.root, 'C');
    ASSERT_TRUE(looking.settoDb(messages));
    looking.readOnly = true;
    auto db = looking.openStore(true);
    EXPECT_THROW(db->exec("DELETE FROM variatil"), Error);
    // The screens of a read-only copy run nothing.
    check::ui::CheckScreen screen(looking, messages);
    EXPECT_FALSE(screen.Command1->isEnabled());
    EXPECT_FALSE(screen.CommandListino->isEnabled());
    t.exec("INSERT INTO variatil (bns, sel, codart, desart, codfor) VALUES (1, '', 1, 'PANE', 12)");
    ReviewScreen review(looking, looking.openStore());
    EXPECT_TRUE(review.windowTitle().contains("sola lettura"));
    for (const char* name : {"Command1", "Command3", "Command4", "Command8"})
        EXPECT_FALSE(review.findChild<QPushButton*>(name)->isEnabled()) << name;
    EXPECT_TRUE(review.findChild<QPushButton*>("Command10")->isEnabled());  // printing reads
    review.show();
    review.grid()->setCurrentIndex(review.grid()->model()->index(0, 1));
    emit review.grid()->clicked(review.grid()->model()->index(0, 1));  // the Sel cell
    EXPECT_EQ(t.scalar("SELECT sel FROM variatil"), "");
}

TEST_F(StartUp, ErrorsWhileLocatingAreShownAndEndWithStatusOne) {
    const fs::path suite = t.suiteFile();
    struct Case {
        const char* what;
        std::function<void()> damage;
        const char* expected;  // part of the message
    };
    auto write = [](const fs::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    };
    const Case cases[] = {
        {"suite rovinata", [&] { write(suite, std::string(64, 'x')); }, "non è un database"},
        {"manca società", [&] { store::openDatabase(suite)->exec("DROP TABLE società"); },
         "società"},
        {"Access non convertito",
         [&] {
             std::string head(64, '\0');
             head.replace(4, 15, "Standard Jet DB");
             write(suite, head);
         },
         "database Access"},
        {"cartella della suite è un file",
         [&] {
             fs::remove_all(suite.parent_path());
             write(suite.parent_path(), "x");
         },
         "ostrel non si può creare"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::path saved = t.root.parent_path() / (t.root.filename().string() + ".saved");
        fs::remove_all(saved);
        fs::copy(t.root, saved, fs::copy_options::recursive);
        c.damage();
        boxes.seen.clear();
        EXPECT_EQ(start(), 1);
        ASSERT_FALSE(boxes.seen.empty());
        EXPECT_NE(boxes.seen.back().text.find(c.expected), std::string::npos)
            << boxes.seen.back().text;
        EXPECT_EQ(topLevel("lis04g"), nullptr);
        fs::remove_all(t.root);
        fs::rename(saved, t.root);
    }
}

TEST_F(StartUp, StoreNotSetUpSaysWhatToDoAndNoEndsWithStatusOne) {
    fs::remove_all(t.root / "C");
    EXPECT_EQ(start(), 1);
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_NE(boxes.seen[0].text.find("tramel.mdb  non esiste "), std::string::npos);
    EXPECT_NE(boxes.seen[0].text.find("controllo-listino demo"), std::string::npos);
    EXPECT_EQ(boxes.seen[1].text, check::kCreateDatabases);
    EXPECT_FALSE(fs::exists(t.root / "C" / "ostrel" / "tramel.mdb"));
    EXPECT_EQ(topLevel("lis04g"), nullptr);
}

TEST_F(StartUp, ScreensSayWhereTheyWorkAndDialogsKeepTheirTitles) {
    ASSERT_EQ(start(), std::nullopt);
    settle();
    QWidget* checkScreen = topLevel("lis04g");
    ASSERT_NE(checkScreen, nullptr);
    EXPECT_EQ(checkScreen->windowTitle().toStdString(),
              "Controllo Articoli \u2014 cartella: " + t.root.string());
    // A title set again later keeps the place once, not twice.
    checkScreen->setWindowTitle("Controllo Articoli");
    checkScreen->setWindowTitle(checkScreen->windowTitle());
    EXPECT_EQ(checkScreen->windowTitle().toStdString(),
              "Controllo Articoli \u2014 cartella: " + t.root.string());

    Session onServer(t.root, 'C');
    onServer.server = "host=srv1 dbname=negozio user=mario password=segreta";
    PlaceInTitles::install(onServer);
    QWidget screen;
    screen.setWindowTitle("Gestione Articoli  1");
    screen.show();
    settle();
    EXPECT_EQ(screen.windowTitle().toStdString(),
              "Gestione Articoli  1 \u2014 server: negozio@srv1");
    QDialog dialog;
    dialog.setWindowTitle("Storico prezzi");
    dialog.show();
    settle();
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Storico prezzi");
}

TEST(Translations, StandardDialogsSpeakItalian) {
    app();
    ASSERT_TRUE(loadItalianTranslations(app()));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annulla");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Cerca in:");
}

}  // namespace
}  // namespace cl::ui
