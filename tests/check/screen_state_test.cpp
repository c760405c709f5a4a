#include <unistd.h>

#include <filesystem>

#include "check/start_up.h"
#include "check_fixture.h"

namespace cl::test {
namespace {

using check::FilterBox;

TEST(CheckScreenState, ClickRules) {
    AppState app;
    check::CheckScreenState s;
    check::presetAtStartUp(s, app, std::nullopt, std::nullopt);
    EXPECT_TRUE(s.tut && s.nuo && s.piu && s.men);
    EXPECT_FALSE(s.sve || s.sma);
    EXPECT_EQ(app.tipo_filtro, 4);
    check::clickFilter(s, app, FilterBox::Men);  // unticks "Tutti", code unchanged
    EXPECT_FALSE(s.men);
    EXPECT_FALSE(s.tut);
    EXPECT_EQ(app.tipo_filtro, 4);
    check::clickFilter(s, app, FilterBox::Men);  // ticking again does not tick "Tutti"
    EXPECT_FALSE(s.tut);
    check::clickFilter(s, app, FilterBox::Tut);
    EXPECT_TRUE(s.tut);
    EXPECT_EQ(app.tipo_filtro, 4);
    check::clickFilter(s, app, FilterBox::Nuo);
    EXPECT_EQ(app.tipo_filtro, 1);
    EXPECT_FALSE(s.tut);
    check::clickFilter(s, app, FilterBox::Piu);
    EXPECT_EQ(app.tipo_filtro, 2);
    check::clickFilter(s, app, FilterBox::Sve);
    EXPECT_EQ(app.tipo_filtro, 2);
}

TEST(CheckScreenState, PresetsFromTheParameterRow) {
    AppState app;
    check::CheckScreenState s;
    ParameterRow row;
    row.acos = 1, row.apv = 1, row.creart = 1, row.cliente = 12;
    check::presetAtStartUp(s, app, row, std::string("ROSSI SPA"));
    EXPECT_TRUE(s.kcos && s.kpre && s.kcrea);
    EXPECT_FALSE(s.kric);
    EXPECT_EQ(app.codice_fornitore, 12);
    EXPECT_EQ(s.supplierText, "ROSSI SPA");
    EXPECT_EQ(app.fl_costo + app.fl_ricarica + app.fl_prezzo, "101");
    EXPECT_EQ(s.perif, "0");
    EXPECT_EQ(s.ricnw, "35");
    EXPECT_EQ(s.reference, check::Reference::Price);
    EXPECT_EQ(s.markup, check::MarkupSource::NoneSelected);
    EXPECT_TRUE(s.codforw.empty());
}

TEST(CheckScreenState, SupplierChoice) {
    AppState app;
    check::CheckScreenState s;
    check::chooseSupplier(s, app, "12", "ROSSI SPA");
    EXPECT_EQ(app.codice_fornitore, 12);
    EXPECT_EQ(app.nome_fornitore.size(), 45u);
    EXPECT_EQ(s.codforw, "12");
    check::chooseSupplier(s, app, "x1", "ALTRO");  // not a number: the code in force stays
    EXPECT_EQ(app.codice_fornitore, 12);
    check::chooseSupplier(s, app, "", "");  // empty counts as 0
    EXPECT_EQ(app.codice_fornitore, 0);
}

class Commands : public CheckFixture {};

TEST_F(Commands, ParameterRowSavedForTheRunWithoutBarcodes) {
    screen.sma = screen.kric = screen.kcrea = true;
    t.session.state.tipo_filtro = 1;
    central(1, "SENZA", "", "1", "2");
    ASSERT_EQ(check().outcome, check::RunOutcome::Done);
    EXPECT_EQ(
        t.scalar("SELECT CAST(acos AS TEXT) || aric || apv || creart || '/' || cliente || '/' || "
                 "tiposel || codpag || cassa FROM parametri WHERE tipo = '01L'"),
        "0101/12/100");
    EXPECT_EQ(t.session.state.fl_crea, "1");
    EXPECT_EQ(rows(), 1);  // the run over articles without barcodes
}

TEST_F(Commands, FormLoadReadsTheRowAndListsSuppliers) {
    t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (3, 'ALFA')");
    t.exec(
        "INSERT INTO parametri (tipo, acos, aric, apv, creart, cliente, tiposel) "
        "VALUES ('01L', 0, 1, 0, 0, 3, 2)");
    t.session.state.codice_fornitore = 0;
    check::CheckScreenState s;
    auto list = check::formLoad(t.session, s);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "ALFA");
    EXPECT_EQ(s.supplierText, "ALFA");
    EXPECT_TRUE(s.kric);
    EXPECT_EQ(t.session.state.codice_fornitore, 3);
    EXPECT_EQ(t.session.state.tipo_filtro, 4);
}

TEST_F(Commands, FormLoadWithoutParameterRowPresetsNoSupplier) {
    t.session.state.codice_fornitore = 0;
    check::CheckScreenState s;
    check::formLoad(t.session, s);
    EXPECT_EQ(t.session.state.codice_fornitore, 0);
    EXPECT_FALSE(s.kcos || s.kric || s.kpre || s.kcrea);
    EXPECT_EQ(check().outcome, check::RunOutcome::NoSupplier);
}

TEST(StartUp, MissingSuiteOffersEmptyDatabasesOrStops) {
    auto root = std::filesystem::temp_directory_path() / ("cl-startup-" + std::to_string(getpid()));
    std::filesystem::remove_all(root);
    {
        Session s(root, 'C');
        RecordingMessages m;  // answers No
        EXPECT_FALSE(check::locateDatabases(s, m));
        ASSERT_EQ(m.shown.size(), 2u);
        EXPECT_NE(m.shown[0].text.find("tramel.mdb  non esiste "), std::string::npos);
        EXPECT_EQ(m.shown[1].text, check::kCreateDatabases);
        EXPECT_FALSE(std::filesystem::exists(root / "C" / "ostrel" / "tramel.mdb"));
    }
    {
        Session s(root, 'C');
        RecordingMessages m;
        m.answers.push_back(Answer::Yes);
        EXPECT_TRUE(check::locateDatabases(s, m));
        EXPECT_TRUE(std::filesystem::exists(s.host(s.state.nomedb)));
        EXPECT_TRUE(std::filesystem::exists(s.host(s.state.nomedb_fisso)));
    }
    std::filesystem::remove_all(root);
}

TEST(StartUp, MissingStoreDatabaseIsNamed) {
    TempStore t;
    std::filesystem::remove(t.storeFile());
    Session s(t.root, 'C');
    RecordingMessages m;
    EXPECT_FALSE(check::locateDatabases(s, m));
    ASSERT_FALSE(m.shown.empty());
    EXPECT_EQ(m.shown[0].text, "Attenzione ... File C:\\tramel\\DATI.MDB  non esiste ");
}

}  // namespace
}  // namespace cl::test
