#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/clock.h"
#include "app/ean.h"
#include "demo/demo_model.h"
#include "demo/demo_store.h"
#include "store/database.h"
#include "store/fixed_text.h"
#include "support/temp_dir.h"
#include "support/temp_store.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

struct DemoRoot {
    explicit DemoRoot(demo::DemoOptions options = {}, bool replace = false)
        : session(dir.path, 'C') {
        setToday("2026-12-08");
        NullProgress progress;
        summary = demo::createDemo(session, options, replace, progress);
        setToday("");
    }
    fs::path storeFile() const { return dir.path / "C" / "negozio" / "dati" / "DATI.MDB"; }
    fs::path fixedFile() const { return dir.path / "C" / "orvik" / "DATI.MDB"; }
    test::TempDir dir;
    Session session;
    demo::DemoSummary summary;
};

std::string dumpAll(const fs::path& file) {
    auto dbConnection = store::openDatabase(file, store::OpenMode::ReadOnly);
    store::Database& db = *dbConnection;
    std::vector<std::string> tables;
    auto names = db.prepare("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
    while (names.step()) tables.push_back(names.value(0).text());
    std::string out;
    for (const auto& t : tables) {
        out += "== " + t + "\n";
        auto st = db.prepare("SELECT * FROM \"" + t + "\" ORDER BY rowid");
        while (st.step()) {
            for (int i = 0; i < st.columnCount(); ++i) out += st.value(i).text() + "|";
            out += "\n";
        }
    }
    return out;
}

std::string scalar(const fs::path& file, const std::string& sql) {
    auto dbConnection = store::openDatabase(file, store::OpenMode::ReadOnly);
    store::Database& db = *dbConnection;
    auto st = db.prepare(sql);
    return st.step() ? st.value(0).text() : "";
}

long long count(const fs::path& file, const std::string& sql) {
    return std::stoll(scalar(file, sql));
}

std::set<std::string> filesUnder(const fs::path& root) {
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) out.insert(fs::relative(e.path(), root).string());
    return out;
}

TEST(Ean, CheckDigit) {
    EXPECT_EQ(app::ean13("400638133393"), "4006381333931");
    EXPECT_EQ(app::ean13("800123456789"), "8001234567897");
    EXPECT_EQ(app::ean13("210000100000"), "2100001000004");
    EXPECT_TRUE(app::isValidEan13("8001234567897"));
    EXPECT_FALSE(app::isValidEan13("8001234567895"));
    EXPECT_FALSE(app::isValidEan13("800123456789"));
    EXPECT_FALSE(app::isValidEan13("80012345678a5"));
    EXPECT_THROW(app::eanCheckDigit("12"), Error);
}

TEST(DemoModel, SalePriceFollowsTheCheckRunFormula) {
    // Cost 10.00, markup 35, VAT 22: 16.47.
    EXPECT_EQ(demo::salePrice(Money::fromInt(10), 35, 22), Money::fromDouble(16.47));
    EXPECT_EQ(demo::withVat(Money::fromInt(10), 4), Money::fromDouble(10.4));
    EXPECT_DOUBLE_EQ(demo::marginOver(Money::fromDouble(13.2), Money::fromDouble(11)), 20);
    EXPECT_EQ(demo::isoFromDays(demo::daysFromIso("2024-02-29") + 1), "2024-03-01");
    EXPECT_EQ(demo::isoFromDays(0), "1970-01-01");
}

TEST(Demo, SameSeedGivesTheSameStoreAndAnotherSeedAnotherOne) {
    demo::DemoOptions options;
    options.articles = 400;
    options.seed = 7;
    DemoRoot a(options), b(options);
    EXPECT_EQ(dumpAll(a.storeFile()), dumpAll(b.storeFile()));
    EXPECT_EQ(dumpAll(a.fixedFile()), dumpAll(b.fixedFile()));
    options.seed = 8;
    DemoRoot c(options);
    EXPECT_NE(dumpAll(a.storeFile()), dumpAll(c.storeFile()));
}

class DemoStore : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { demo_ = new DemoRoot(); }
    static void TearDownTestSuite() { delete demo_; }
    static DemoRoot* demo_;
    const fs::path store = demo_->storeFile();
    const fs::path fixed = demo_->fixedFile();
};
DemoRoot* DemoStore::demo_ = nullptr;

TEST_F(DemoStore, IsLocatedAndValidLikeAnyStore) {
    Session session(demo_->dir.path, 'C');
    test::RecordingMessages messages;
    ASSERT_TRUE(session.settoDb(messages));
    EXPECT_EQ(session.state.nomedb, "C:\\negozio\\dati\\DATI.MDB");
    EXPECT_NO_THROW(session.openStore(true));
    EXPECT_TRUE(fs::exists(demo_->dir.path / "C" / "ostrel" / "client.mdb"));
    EXPECT_EQ(demo_->summary.model.storeArticles, 2000);
    EXPECT_EQ(count(store, "SELECT count(*) FROM listi01"), 2000);
    // The parameter row remembers the wholesaler, whose list is in the store.
    EXPECT_EQ(scalar(store, "SELECT cliente FROM parametri WHERE tipo = '01L'"), "12");
    EXPECT_EQ(scalar(store, "SELECT dscfornitore FROM fornitori WHERE codfornitore = 12"),
              "CE.DI. ORVIK DISTRIBUZIONE S.P.A.");
    EXPECT_GT(count(store, "SELECT count(*) FROM listi02 WHERE codlis = '000012'"), 1000);
    EXPECT_EQ(count(store, "SELECT count(*) FROM fistini"),
              count(store, "SELECT count(*) FROM fornitori"));
}

TEST_F(DemoStore, EveryBarcodeHasAValidCheckDigit) {
    for (const auto& file : {store, fixed}) {
        auto dbConnection = store::openDatabase(file, store::OpenMode::ReadOnly);
        store::Database& db = *dbConnection;
        auto st = db.prepare("SELECT eanare FROM codean");
        long long n = 0;
        while (st.step()) {
            ++n;
            EXPECT_TRUE(app::isValidEan13(st.value(0).text())) << st.value(0).text();
        }
        EXPECT_GT(n, 1000);
    }
    EXPECT_GT(count(store, "SELECT count(*) FROM codean WHERE eanare LIKE '2%' AND colare = 5"), 0);
    EXPECT_EQ(count(store, "SELECT count(*) FROM codean WHERE eanare LIKE '2%' AND colare <> 5"),
              0);
    EXPECT_GT(count(store, "SELECT count(*) FROM codean WHERE flagean = 'S'"), 0);
    EXPECT_GT(count(store,
                    "SELECT count(*) FROM (SELECT codare FROM codean GROUP BY codare "
                    "HAVING count(*) > 1)"),
              0);
    EXPECT_GT(
        count(store, "SELECT count(*) FROM codean WHERE pezzix > 1 AND prezzox = prezzo * pezzix"),
        0);
    EXPECT_GT(count(store, "SELECT count(*) FROM codean WHERE even > 0"), 0);
    EXPECT_GT(count(store, "SELECT count(*) FROM codean WHERE even = 0"), 0);
}

TEST_F(DemoStore, PricesAreCostPlusMarkupPlusVat) {
    auto dbConnection = store::openDatabase(store, store::OpenMode::ReadOnly);
    store::Database& db = *dbConnection;
    auto st = db.prepare("SELECT cofart, cobart, ricart, ivart, przpub, cosiva, marg FROM listi01");
    std::set<std::string> vats;
    while (st.step()) {
        Money cost = Money::fromDouble(st.value(0).number());
        int vat = std::stoi(st.value(3).text());
        vats.insert(st.value(3).text());
        Money price = Money::fromDouble(st.value(4).number());
        EXPECT_EQ(Money::fromDouble(st.value(1).number()), cost);
        EXPECT_EQ(demo::salePrice(cost, st.value(2).number(), vat), price);
        EXPECT_EQ(Money::fromDouble(st.value(5).number()), demo::withVat(cost, vat));
        EXPECT_DOUBLE_EQ(st.value(6).number(), demo::marginOver(price, demo::withVat(cost, vat)));
        EXPECT_GT(price, cost);
    }
    EXPECT_EQ(vats, (std::set<std::string>{"04", "10", "22"}));
    EXPECT_EQ(count(store,
                    "SELECT count(*) FROM codean c JOIN listi01 l ON l.codart = c.codare "
                    "WHERE c.prezzo <> l.przpub"),
              0);
    EXPECT_GT(count(store, "SELECT count(*) FROM listi01 WHERE przsal > 0 AND przsal < przpub"), 0);
}

TEST_F(DemoStore, ReferenceTablesCoverTheCases) {
    EXPECT_EQ(scalar(store, "SELECT group_concat(coduni || '=' || fatxmul, ' ') FROM unitam"),
              "PZ=1.0 KG=1.0 GR=1000.0 LT=1.0 ML=1000.0 CT=1.0");
    EXPECT_EQ(count(store, "SELECT count(*) FROM reparti WHERE tx = 'N'"), 1);
    EXPECT_EQ(count(store, "SELECT count(*) FROM gruppi WHERE escgruppo = 1"), 1);
    EXPECT_EQ(count(store, "SELECT count(*) FROM gruppi WHERE codrep IS NULL"), 1);
    EXPECT_GT(count(store, "SELECT count(*) FROM sottogruppi"), 20);
    EXPECT_EQ(count(fixed, "SELECT count(*) FROM sottogruppi"),
              count(store, "SELECT count(*) FROM sottogruppi"));
    EXPECT_EQ(count(fixed, "SELECT count(*) FROM gruppi WHERE ricarica IS NULL"), 1);
    EXPECT_GT(count(store,
                    "SELECT count(*) FROM listi01 l JOIN reparti r ON r.reparto = l.codrep "
                    "WHERE r.tx = 'N'"),
              0);
    EXPECT_GT(count(store, "SELECT count(*) FROM listi01 WHERE umart = 'KG' AND colore = 5"), 0);
    EXPECT_GT(count(store, "SELECT count(*) FROM listi01 WHERE umart = 'CT'"), 0);
}

TEST_F(DemoStore, AboutATenthOfTheCatalogueIsMarkedWithEveryKindOfChange) {
    long long all = count(fixed, "SELECT count(*) FROM articolo");
    long long marked = count(fixed, "SELECT count(*) FROM articolo WHERE artvariato = 'S'");
    EXPECT_GT(marked * 100, all * 7);
    EXPECT_LT(marked * 100, all * 13);
    auto dbConnection = store::openDatabase(store);
    store::Database& db = *dbConnection;
    db.attach(fixed, "fisso", store::OpenMode::ReadOnly);
    auto n = [&](const std::string& sql) {
        auto st = db.prepare(sql);
        st.step();
        return st.value(0).integer();
    };
    const std::string known =
        "SELECT count(*) FROM fisso.articolo a JOIN fisso.codean f ON f.codare = a.codart "
        "JOIN codean c ON c.eanare = f.eanare JOIN listi01 l ON l.codart = c.codare "
        "WHERE a.artvariato = 'S' AND ";
    EXPECT_GT(n(known + "a.przart > l.cofart AND a.przpub > l.przpub"), 0);
    EXPECT_GT(n(known + "a.przart < l.cofart AND a.przpub < l.przpub"), 0);
    EXPECT_GT(n(known + "a.przart = l.cofart AND a.przpub = l.przpub"), 0);
    // The central price follows the store's markup, so an unchanged cost gives no variation.
    EXPECT_EQ(n("SELECT count(*) FROM fisso.articolo a JOIN fisso.codean f ON f.codare = a.codart "
                "JOIN codean c ON c.eanare = f.eanare JOIN listi01 l ON l.codart = c.codare "
                "WHERE a.artvariato <> 'S' AND (a.przart <> l.cofart OR a.przpub <> l.przpub)"),
              0);
    const std::string unknownBarcode =
        "SELECT count(*) FROM fisso.articolo a JOIN fisso.codean f ON f.codare = a.codart "
        "WHERE a.artvariato = 'S' AND f.eanare NOT IN (SELECT eanare FROM codean) AND ";
    const std::string inList =
        "(SELECT 1 FROM listi02 WHERE trim(codafo) = "
        "substr('000000000' || a.codart, -9) AND codlis = '000012' AND codart > 0)";
    EXPECT_GT(n(unknownBarcode + "NOT EXISTS " + inList), 0) << "new products";
    EXPECT_GT(n(unknownBarcode + "EXISTS " + inList), 0) << "known only by supplier code";
    // Lists hold the supplier code padded as the program writes it, and a few unpadded.
    EXPECT_GT(n("SELECT count(*) FROM listi02 WHERE length(codafo) = 16"), 0);
    EXPECT_GT(n("SELECT count(*) FROM listi02 WHERE length(codafo) = 9"), 0);
    EXPECT_GT(
        n("SELECT count(*) FROM fisso.articolo WHERE artvariato = 'S' AND desart LIKE '%''%'"), 0);
}

TEST(Demo, ChangedShareMarksAllOrNone) {
    demo::DemoOptions options;
    options.articles = 200;
    options.changedShare = 100;
    DemoRoot all(options);
    EXPECT_EQ(count(all.fixedFile(), "SELECT count(*) FROM articolo WHERE artvariato <> 'S'"), 0);
    options.changedShare = 0;
    DemoRoot none(options);
    EXPECT_EQ(count(none.fixedFile(), "SELECT count(*) FROM articolo WHERE artvariato = 'S'"), 0);
}

TEST(Demo, AnExistingStoreIsReplacedOnlyWhenAsked) {
    demo::DemoOptions options;
    options.articles = 50;
    DemoRoot first(options);
    auto before = dumpAll(first.storeFile());
    auto files = filesUnder(first.dir.path);
    NullProgress progress;
    options.seed = 99;
    try {
        demo::createDemo(first.session, options, false, progress);
        FAIL() << "expected a refusal";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("esiste già"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("--force"), std::string::npos) << e.what();
    }
    EXPECT_EQ(dumpAll(first.storeFile()), before);
    demo::createDemo(first.session, options, true, progress);
    EXPECT_NE(dumpAll(first.storeFile()), before);
    EXPECT_EQ(filesUnder(first.dir.path), files) << "no leftovers beside the databases";
}

TEST(Demo, AnAccessFileIsNeverReplaced) {
    test::TempDir dir;
    Session session(dir.path, 'C');
    std::string access(4, '\0');
    access += "Standard Jet DB";
    access.resize(4096, 'x');
    auto fixed = dir.path / "C" / "orvik" / "DATI.MDB";
    test::writeBytes(fixed, access);
    NullProgress progress;
    demo::DemoOptions options;
    options.articles = 20;
    EXPECT_THROW(demo::createDemo(session, options, true, progress), Error);
    EXPECT_EQ(test::fileBytes(fixed), access);
    EXPECT_EQ(filesUnder(dir.path), std::set<std::string>{"C/orvik/DATI.MDB"});
}

TEST(Demo, AFailureLeavesNothingHalfMade) {
    test::TempDir dir;
    Session session(dir.path, 'C');
    // The central database's folder cannot be made: a file stands in its place.
    test::writeBytes(dir.path / "C" / "orvik", "non una cartella");
    NullProgress progress;
    demo::DemoOptions options;
    options.articles = 20;
    EXPECT_THROW(demo::createDemo(session, options, false, progress), Error);
    EXPECT_EQ(filesUnder(dir.path), std::set<std::string>{"C/orvik"});
}

}  // namespace
}  // namespace cl
