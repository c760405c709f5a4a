#include "app/access_files.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "import_support.h"
#include "store/database.h"
#include "support/temp_store.h"

using namespace cl;
using cl::test::fileBytes;

namespace {

// A store whose databases turn out to be Access files, converted by stand-in mdbtools.
class AccessInPlace : public ::testing::Test {
  protected:
    void SetUp() override { ::setenv("CONTROLLO_LISTINO_MDBTOOLS", tools.path.c_str(), 1); }
    void TearDown() override { ::unsetenv("CONTROLLO_LISTINO_MDBTOOLS"); }
    void deliver(store::DatabaseKind kind) {
        fake.tables(cl::test::tableNamesOf(kind));
        fake.schema(cl::test::accessSchemaOf(kind));
    }
    std::filesystem::path kept(const std::filesystem::path& f) { return store::keptOriginal(f); }

    cl::test::ScratchDir tools;
    cl::test::FakeMdbtools fake{tools.path};
    cl::test::TempStore ts;
    cl::test::RecordingMessages messages;
    cl::test::RecordingProgress progress;
};

}  // namespace

TEST_F(AccessInPlace, DeclinedOrUnaskedConversionLeavesTheStoreFileAsItWas) {
    deliver(store::DatabaseKind::Store);
    cl::test::writeFakeAccessFile(ts.storeFile());
    const auto bytes = fileBytes(ts.storeFile());

    ts.session.accessMessages = &messages;  // answers No
    try {
        ts.session.openStore();
        FAIL() << "an Access store was opened";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("è un database Access"), std::string::npos);
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Il file " + ts.session.state.nomedb +
                  " è un database Access. Convertirlo ora? L'originale resta accanto come "
                  "DATI.MDB.access.");
    EXPECT_EQ(messages.shown[0].icon, Icon::Question);

    ts.session.accessMessages = nullptr;  // no front-end to ask: refused, never converted
    EXPECT_THROW(ts.session.openStore(), Error);
    EXPECT_EQ(fileBytes(ts.storeFile()), bytes);
    EXPECT_FALSE(std::filesystem::exists(kept(ts.storeFile())));
}

TEST_F(AccessInPlace, AcceptedConversionPutsTheSqliteStoreInPlace) {
    deliver(store::DatabaseKind::Store);
    fake.rows("fornitori", 1, "12,\"Caseificio Sant'Anna – Forlì\"\n");
    cl::test::writeFakeAccessFile(ts.storeFile());
    const auto bytes = fileBytes(ts.storeFile());
    messages.answers = {Answer::Yes};
    ts.session.accessMessages = &messages;
    ts.session.accessProgress = &progress;
    auto db = ts.session.openStore();
    auto st = db->prepare("SELECT dscfornitore FROM fornitori WHERE codfornitore = 12");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.value(0).text(), "Caseificio Sant'Anna – Forlì");
    st.reset();
    EXPECT_EQ(fileBytes(kept(ts.storeFile())), bytes);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].icon, Icon::Information);
    EXPECT_EQ(messages.shown[1].text.rfind("Convertito il file " + ts.session.state.nomedb +
                                               ": 11 tabelle, 1 righe. L'originale Access è "
                                               "conservato come DATI.MDB.access.",
                                           0),
              0u)
        << messages.shown[1].text;
    EXPECT_FALSE(progress.barVisible);
}

TEST_F(AccessInPlace, NewDeliveryOfTheArticleDatabaseIsConvertedBeforeTheRun) {
    deliver(store::DatabaseKind::FixedArticles);
    const auto& fields = store::tableDef(store::DatabaseKind::FixedArticles, "articolo").fields;
    std::string row = "7,\"Olio extravergine d'oliva 1 l\"" + std::string(fields.size() - 2, ',');
    fake.rows("articolo", 2, row + "\n" + row + "\n");
    cl::test::writeFakeAccessFile(ts.fixedFile(), 'a');
    ts.session.accessProgress = &progress;  // no question: deliveries are routine

    {
        auto db = ts.session.openStore(true);
        auto st = db->prepare("SELECT count(*) FROM fisso.articolo WHERE desart LIKE 'olio%'");
        st.step();
        EXPECT_EQ(st.value(0).integer(), 2);
    }
    EXPECT_EQ(fileBytes(kept(ts.fixedFile()))[8191], 'a');
    ASSERT_FALSE(progress.bar.empty());
    EXPECT_EQ(progress.bar.back(), 20000);
    EXPECT_EQ(progress.values["importw"].rfind("Conversione di C:\\orvik\\DATI.MDB: tabella ", 0),
              0u);

    // The next delivery replaces the converted file again; the kept original is the newest.
    fake.rows("articolo", 1, row + "\n");
    cl::test::writeFakeAccessFile(ts.fixedFile(), 'b');
    auto db = ts.session.openStore(true);
    auto st = db->prepare("SELECT count(*) FROM fisso.articolo");
    st.step();
    EXPECT_EQ(st.value(0).integer(), 1);
    EXPECT_EQ(fileBytes(kept(ts.fixedFile()))[8191], 'b');
}

TEST_F(AccessInPlace, SuiteDatabaseConvertedAtStartUpGivesTheStoreFolder) {
    deliver(store::DatabaseKind::Suite);
    fake.rows("società", 1, "1,\"E:\\negozio\\dati\\DATI.MDB\"\n");
    cl::test::writeFakeAccessFile(ts.suiteFile());
    messages.answers = {Answer::Yes};
    ASSERT_TRUE(ts.session.settoDb(messages));
    EXPECT_EQ(ts.session.state.nomedb, "E:\\negozio\\dati\\DATI.MDB");
    EXPECT_EQ(store::fileKind(ts.suiteFile()), store::FileKind::SQLite);
}

TEST_F(AccessInPlace, FailedConversionLeavesTheFileAndShowsWhy) {
    deliver(store::DatabaseKind::Store);
    fake.rows("listi01", 5, "");  // the file declares rows the export does not give
    cl::test::writeFakeAccessFile(ts.storeFile());
    const auto bytes = fileBytes(ts.storeFile());
    messages.answers = {Answer::Yes};
    ts.session.accessMessages = &messages;
    ts.session.accessProgress = &progress;
    try {
        ts.session.openStore();
        FAIL() << "opened after a failed conversion";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("\"listi01\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(ts.storeFile()), bytes);
    EXPECT_FALSE(std::filesystem::exists(kept(ts.storeFile())));
    EXPECT_FALSE(progress.barVisible);
}
