#include <gtest/gtest.h>

#include <optional>

#include "store/database.h"
#include "support/temp_dir.h"
#include "support/temp_store.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

// Every file under the root with its bytes, to show that a refused open wrote nothing.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out[e.path().string()] = test::fileBytes(e.path());
    return out;
}

std::string openError(test::TempStore& t, bool attachFixed,
                      std::optional<ErrorKind>* kind = nullptr) {
    try {
        t.session.openStore(attachFixed);
    } catch (const Error& e) {
        if (kind) *kind = e.kind();
        return e.what();
    }
    return "<aperto>";
}

// `kind`, when given, is what a caller reads instead of the words.
void expectRefused(test::TempStore& t, const std::string& expected, bool attachFixed = false,
                   std::optional<ErrorKind> kind = std::nullopt) {
    auto before = snapshot(t.root);
    std::optional<ErrorKind> got;
    std::string message = openError(t, attachFixed, &got);
    EXPECT_NE(message.find(expected), std::string::npos) << message;
    if (kind) {
        EXPECT_EQ(got, kind) << message;
    }
    EXPECT_EQ(message.rfind("Attenzione ... ", 0), 0u) << message;
    EXPECT_EQ(snapshot(t.root), before) << "a refused file must stay as it was";
}

std::string accessHeader(const char* kind) {
    std::string bytes(4, '\0');
    bytes += kind;
    bytes.resize(2048, '\x01');
    return bytes;
}

TEST(BadFiles, MissingEmptyGarbageAndAccessStoreFiles) {
    test::TempStore t;
    auto store = t.storeFile();
    fs::remove(store);
    expectRefused(t, "non esiste", false, ErrorKind::NotFound);
    test::writeBytes(store, "");
    expectRefused(t, "è vuoto", false, ErrorKind::Corrupt);
    test::writeBytes(store, "codart;desart\n1;PANE\n");
    expectRefused(t, "non è un database valido", false, ErrorKind::Corrupt);
    test::writeBytes(store, accessHeader("Standard Jet DB"));
    expectRefused(t, "è un database Access", false, ErrorKind::Corrupt);
    expectRefused(t, "import-mdb");
    test::writeBytes(store, accessHeader("Standard ACE DB"));
    expectRefused(t, "è un database Access");
    std::string fakeSqlite("SQLite format 3\0", 16);
    fakeSqlite.resize(4096, '\x7f');
    test::writeBytes(store, fakeSqlite);
    expectRefused(t, "danneggiato", false, ErrorKind::Corrupt);
    fs::remove(store);
    fs::create_directories(store);
    expectRefused(t, "è una cartella", false, ErrorKind::Corrupt);
}

TEST(BadFiles, MissingTableOrFieldIsNamed) {
    test::TempStore t;
    t.exec("DROP TABLE fistini");
    expectRefused(t, "manca la tabella \"fistini\"", false, ErrorKind::Corrupt);
    t.exec("CREATE TABLE fistini (codlis TEXT, datval TEXT)");
    expectRefused(t, "manca il campo \"dsclistino\" della tabella \"fistini\"");
    t.exec("DROP TABLE fistini; CREATE TABLE fistini (codlis TEXT, dsclistino TEXT, datval TEXT)");
    EXPECT_EQ(openError(t, false), "<aperto>");
    t.execFixed("DROP INDEX articolo_artvariato; ALTER TABLE articolo DROP COLUMN artvariato");
    expectRefused(t, "manca il campo \"artvariato\" della tabella \"articolo\"", true);
}

TEST(BadFiles, ReadOnlyFileIsRefusedForWriting) {
    test::TempStore t;
    fs::permissions(t.storeFile(), fs::perms::owner_read | fs::perms::group_read);
    expectRefused(t, "sola lettura", false, ErrorKind::ReadOnly);
    // Reading it is fine.
    EXPECT_NO_THROW(t.session.openStore(false, store::OpenMode::ReadOnly));
    fs::permissions(t.storeFile(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(BadFiles, BadFixedArticleDatabaseLeavesTheStoreUntouched) {
    test::TempStore t;
    test::writeBytes(t.fixedFile(), accessHeader("Standard Jet DB"));
    // A delivery at the fixed path is converted first; a damaged one is refused as such.
    expectRefused(t, "Access", true);
    fs::remove(t.fixedFile());
    expectRefused(t, "non esiste", true, ErrorKind::NotFound);
}

TEST(NullReads, NullFieldsReadAsEmptyTextOrZero) {
    store::Value null;
    EXPECT_EQ(null.text(), "");
    EXPECT_EQ(null.number(), 0);
    EXPECT_EQ(null.integer(), 0);
    test::TempStore t;
    t.exec("INSERT INTO listi01 (codart) VALUES (5)");
    t.exec("INSERT INTO codean (eanare, codare) VALUES ('8001234567895', 5)");
    auto db = t.session.openStore();
    auto listi01 = db->prepare("SELECT * FROM listi01 WHERE codart = ?");
    listi01.bindAll(5);
    ASSERT_TRUE(listi01.step());
    EXPECT_EQ(listi01.text("desart"), "");
    EXPECT_EQ(listi01.number("ricart"), 0);
    EXPECT_EQ(listi01.number("przpub"), 0);
    EXPECT_EQ(listi01.integer("codrep"), 0);
    EXPECT_TRUE(listi01.value("datagg").isNull());
    listi01.reset();
    auto codean = db->prepare("SELECT * FROM codean WHERE codare = ?");
    codean.bindAll(5);
    ASSERT_TRUE(codean.step());
    EXPECT_EQ(codean.integer("pezzix"), 0);
    EXPECT_EQ(codean.text("flagean"), "");
    codean.reset();
}

}  // namespace
}  // namespace cl
