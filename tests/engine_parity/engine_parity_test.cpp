#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "app/clock.h"
#include "import/import_support.h"
#include "parity_support.h"
#include "report/report_rows.h"
#include "review/open_review.h"
#include "review/review_load.h"
#include "store/access_import.h"
#include "store/fixed_text.h"

namespace cl::test {
namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += "  " + l + "\n";
    return out;
}

// The same demo store on SQLite files and on the server; every step runs on both and must give
// the same answer and the same tables.
class EngineParity : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { setToday("2026-03-16"); }
    static void TearDownTestSuite() { setToday(""); }

    // Runs the command on both installations: same exit status and output, then same tables.
    CommandResult both(const std::vector<std::string>& words) {
        std::string line;
        for (const auto& w : words) line += " " + w;
        auto a = files.run(words);
        auto b = server.run(words);
        EXPECT_EQ(a.exitCode, b.exitCode) << line << "\nfiles:\n" << a.err << "server:\n" << b.err;
        EXPECT_EQ(comparable(a.out, files), comparable(b.out, server)) << line;
        EXPECT_EQ(comparable(a.err, files), comparable(b.err, server)) << line;
        expectSameTables(line);
        return a;
    }
    // A check of supplier 12 over every article, new ones included: its exit status.
    int checkEverything() {
        return both({"check", "--supplier", "12", "--filters", "all,new", "--updates",
                     "cost,markup,price,create"})
            .exitCode;
    }
    void expectSameTables(const std::string& after) {
        auto d = installationDifferences(files, server);
        EXPECT_TRUE(d.empty()) << "after" << after << ":\n" << joined(d);
    }
    // The same file in each installation's root; its path there.
    std::pair<std::string, std::string> inBothRoots(const std::string& name,
                                                    const std::string& bytes) {
        writeBytes(files.dir.path / name, bytes);
        writeBytes(server.dir.path / name, bytes);
        return {(files.dir.path / name).string(), (server.dir.path / name).string()};
    }
    // The first few review rows' keys, as the files hold them.
    std::vector<std::string> reviewKeys(size_t count) {
        auto db = files.open("main");
        auto st = db->prepare("SELECT bns FROM variatil ORDER BY bns");
        std::vector<std::string> out;
        while (out.size() < count && st.step()) out.push_back(st.value(0).text());
        return out;
    }

    // The rows the printed report shows, as the report command reads them.
    static std::string reportRows(Installation& at) {
        auto db = at.session.openStore(false, store::OpenMode::ReadOnly);
        review::presetLastRunSupplier(at.session, *db);
        auto filter = review::openReviewData(at.session, *db).filter;
        std::string out;
        for (const auto& r : review::readReportRows(*db, filter)) {
            out += std::to_string(r.codart) + "|" + r.ean + "|" + r.descrizione + "|" +
                   std::to_string(std::llround(r.prezzoV * 100));
            if (r.article)
                out += "|" + r.article->umart + "|" + r.article->imbart.text() + "|" +
                       std::to_string(std::llround(r.article->cofart * 10000)) + "|" +
                       r.article->ivart + "|" +
                       std::to_string(std::llround(r.article->ricart * 100));
            out += "\n";
        }
        return out;
    }

    Installation files{false};
    Installation server{true};
};

TEST_F(EngineParity, TheDemoStoreStartsTheSameOnBoth) {
    expectSameTables(" loading the demo");
    // The comparison sees a change made on one side only.
    {
        auto db = store::openServer(server.session.server, "main");
        db->exec(
            "UPDATE listi01 SET przpub = przpub + 0.01 WHERE codart = "
            "(SELECT min(codart) FROM listi01)");
    }
    auto d = installationDifferences(files, server);
    ASSERT_EQ(d.size(), 1u) << joined(d);
    EXPECT_NE(d[0].find("main.listi01 riga 1, przpub: "), std::string::npos) << d[0];
}

TEST_F(EngineParity, ChecksOfEveryKindAndTheirRestore) {
    auto r = both({"check", "--supplier", "12", "--filters", "all,new"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Righe scritte in variatil: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Righe scritte in variatil: 0"), 0u);
    both({"review", "--csv"});
    both({"check", "--supplier", "12", "--only-no-barcode", "--filters", "all,new"});
    both({"barcode-check", "--supplier", "12", "--updates", "cost,markup,price"});
    both({"check", "--supplier", "12", "--updates", "cost,price", "--reference", "cost", "--markup",
          "30", "--round"});
    both({"history", "--checks"});
    both({"restore-check"});
    both({"history", "--checks"});
}

TEST_F(EngineParity, CheckOfASupplierPriceListFile) {
    std::string csv = "Codice;Descrizione;Costo;IVA\n";
    {
        auto db = files.open("main");
        auto st = db->prepare(
            "SELECT codafo, desart, cofart, ivart FROM listi01 WHERE codfor = 12 ORDER BY codart");
        for (int i = 0; i < 40 && st.step(); ++i) {
            double cost = st.value(2).number() * (i % 3 == 0 ? 1.1 : i % 3 == 1 ? 0.95 : 1.0);
            std::ostringstream line;
            line << store::trimmed(st.value(0).text()) << ";" << st.value(1).text() << ";"
                 << std::round(cost * 100) / 100 << ";" << st.value(3).text() << "\n";
            std::string text = line.str();
            for (auto& c : text)
                if (c == '.') c = ',';
            csv += text;
        }
    }
    csv += "NUOVO1;PRODOTTO NUOVO UNO;2,35;10\nNUOVO2;PRODOTTO NUOVO DUE;11,90;22\n";
    auto [a, b] = inBothRoots("listino.csv", csv);
    auto ra = files.run({"check", "--supplier", "12", "--price-list", a, "--filters", "all,new",
                         "--updates", "cost,markup,price,create"});
    auto rb = server.run({"check", "--supplier", "12", "--price-list", b, "--filters", "all,new",
                          "--updates", "cost,markup,price,create"});
    ASSERT_EQ(ra.exitCode, 0) << ra.err;
    EXPECT_EQ(rb.exitCode, 0) << rb.err;
    EXPECT_EQ(comparable(ra.out, files), comparable(rb.out, server));
    expectSameTables(" the price-list check");
    both({"review", "--csv"});
}

TEST_F(EngineParity, ReviewCommandsAndTheEditor) {
    ASSERT_EQ(checkEverything(), 0);
    auto keys = reviewKeys(4);
    ASSERT_EQ(keys.size(), 4u);
    both({"select", "none"});
    both({"select", "all"});
    both({"select", "changed"});
    both({"select", "increased"});
    both({"toggle", keys[0], keys[1]});
    both({"select", "all"});
    both({"recalc", "--percent", "10"});
    both({"recalc", "--percent", "7", "--round"});
    both({"recalc", "--markup", "30", "--keep-edited"});
    both({"recalc", "--markup", "25", "--round"});
    both({"edit", keys[2], "--price", "250"});
    both({"edit", keys[3], "--markup", "35", "--round"});
    both({"edit", keys[0], "--margin", "20", "--vat", "10"});
    both({"review", "--csv"});
    both({"review", "--csv", "--selected"});
    both({"review", "--csv", "--search", "description", "a"});
    const auto report = reportRows(files);
    EXPECT_NE(report, "");
    EXPECT_EQ(report, reportRows(server));
    both({"delete-rows", "--yes"});
    both({"review", "--csv"});
}

TEST_F(EngineParity, UpdateWithCreationsLabelsHistoryAndUndo) {
    ASSERT_EQ(checkEverything(), 0);
    both({"select", "all"});
    both({"recalc", "--percent", "3", "--round"});
    auto applied = both({"apply", "--updates", "cost,markup,price,create,descriptions,pack"});
    ASSERT_EQ(applied.exitCode, 0) << applied.err;
    EXPECT_NE(applied.out.find("creati: "), std::string::npos) << applied.out;
    EXPECT_EQ(applied.out.find("creati: 0."), std::string::npos) << applied.out;
    both({"labels", "--csv"});
    both({"labels", "--articles", "1,2,3,4,5", "--csv"});
    auto a = files.dir.path / "variazioni.csv";
    auto b = server.dir.path / "variazioni.csv";
    auto ra = files.run({"price-changes", "--csv", a.string()});
    auto rb = server.run({"price-changes", "--csv", b.string()});
    EXPECT_EQ(comparable(ra.out, files), comparable(rb.out, server));
    EXPECT_EQ(fileBytes(a), fileBytes(b));
    std::string changed;
    {
        auto db = files.open("storia");
        ASSERT_TRUE(db);
        auto st = db->prepare("SELECT min(article) FROM changes WHERE tbl = 'listi01'");
        ASSERT_TRUE(st.step());
        changed = st.value(0).text();
    }
    both({"history", "--article", changed, "--csv"});
    both({"undo"});
    both({"labels", "--csv"});
    both({"history", "--article", changed, "--csv"});
    both({"check", "--supplier", "12"});
}

// The demo's central catalogue delivered again as an Access file at the article database's
// fixed path on both installations, a third of it repriced and marked.
class AccessDelivery : public EngineParity {
  protected:
    AccessDelivery() {
        fake.tables(tableNamesOf(store::DatabaseKind::FixedArticles));
        fake.schema(accessSchemaOf(store::DatabaseKind::FixedArticles));
        auto db = files.open("fisso");
        for (const auto& table : store::schemaOf(store::DatabaseKind::FixedArticles))
            exportTable(*db, table);
        ::setenv("CONTROLLO_LISTINO_MDBTOOLS", tools.path.c_str(), 1);
        for (Installation* at : {&files, &server}) writeFakeAccessFile(fixedFile(*at), 'd');
    }
    ~AccessDelivery() override { ::unsetenv("CONTROLLO_LISTINO_MDBTOOLS"); }

    static std::filesystem::path fixedFile(Installation& at) {
        return at.session.host(at.session.state.nomedb_fisso);
    }
    static std::string csvValue(const store::Value& v) {
        if (!v.isText()) return v.isNull() ? "" : v.text();
        std::string out = "\"";
        for (char c : v.text()) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    }
    void exportTable(store::Database& db, const store::TableDef& table) {
        std::string select;
        for (const auto& f : table.fields) select += (select.empty() ? "" : ", ") + f.name;
        auto st = db.prepare("SELECT " + select + " FROM " + table.name + " ORDER BY rowid");
        std::string csv;
        long long rows = 0;
        while (st.step()) {
            ++rows;
            bool repriced = table.name == "articolo" && rows % 3 == 0;
            for (size_t i = 0; i < table.fields.size(); ++i) {
                auto v = st.value(static_cast<int>(i));
                const auto& name = table.fields[i].name;
                if (repriced && name == "przart") v = std::round(v.number() * 107) / 100;
                if (repriced && name == "artvariato") v = "S";
                csv += (i ? "," : "") + csvValue(v);
            }
            csv += "\n";
        }
        fake.rows(table.name, rows, csv);
    }
    void expectTakenOnce() {
        for (Installation* at : {&files, &server}) {
            EXPECT_EQ(fileBytes(store::keptOriginal(fixedFile(*at))).back(), 'd');
            // On the server no file takes the original's place: nothing to take again.
            EXPECT_EQ(std::filesystem::exists(fixedFile(*at)), !at->onServer());
        }
    }

    ScratchDir tools;
    FakeMdbtools fake{tools.path};
};

TEST_F(AccessDelivery, TakenByTheNextCheck) {
    auto r = both({"check", "--supplier", "12", "--filters", "all,new"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Nuova fornitura del database articoli centrale. Convertito il file"),
              std::string::npos)
        << r.out;
    expectTakenOnce();
    both({"check", "--supplier", "12", "--filters", "all,new"});
}

TEST_F(AccessDelivery, TakenByTheImportCommand) {
    auto a = files.run({"import-mdb", "C:\\orvik\\DATI.MDB"});
    auto b = server.run({"import-mdb", "C:\\orvik\\DATI.MDB"});
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;
    EXPECT_NE(b.out.find("Nuova fornitura del database articoli centrale"), std::string::npos)
        << b.out;
    expectSameTables(" import-mdb");
    expectTakenOnce();
    both({"check", "--supplier", "12", "--filters", "all,new"});
}

TEST_F(AccessDelivery, NothingChangesOnTheServerWhenTheOriginalCannotBeKept) {
    // A folder where the original would be kept: the delivery cannot step aside.
    writeBytes(store::keptOriginal(fixedFile(server)) / "occupato", "x");
    const auto delivered = fileBytes(fixedFile(server));
    auto articles = [&] {
        auto db = server.open("fisso");
        auto st = db->prepare(
            "SELECT count(*), sum(przart), sum(CASE WHEN artvariato = 'S' THEN 1 ELSE 0 END) "
            "FROM articolo");
        st.step();
        return st.value(0).text() + " " + st.value(1).text() + " " + st.value(2).text();
    };
    const auto before = articles();
    auto r = server.run({"check", "--supplier", "12", "--filters", "all,new"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Impossibile conservare l'originale"), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(fixedFile(server)), delivered);
    EXPECT_EQ(articles(), before);
}

TEST_F(EngineParity, AnAccessFileOfNoDatabaseOfOursIsRefusedOnTheServer) {
    auto fixture = accessFixture();
    ASSERT_FALSE(fixture.empty()) << "tests/fixtures/access/node-adodb.mdb is missing";
    auto copy = server.dir.path / "utenti.mdb";
    std::filesystem::copy_file(fixture, copy);
    auto r = server.run({"import-mdb", copy.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("non è un database del programma"), std::string::npos) << r.err;
    EXPECT_EQ(fileBytes(copy), fileBytes(fixture));
    expectSameTables(" a refused import");
}

}  // namespace
}  // namespace cl::test
