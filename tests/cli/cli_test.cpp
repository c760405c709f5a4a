#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/temp_dir.h"

namespace cl {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code;
    std::string out, err;
};

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the built program with the given words; stdin is not a terminal.
Outcome run(const test::TempDir& dir, const std::vector<std::string>& words) {
    const char* binary = std::getenv("CL_BINARY");
    if (!binary) throw std::runtime_error("CL_BINARY non impostato");
    std::string cmd = quoted(binary);
    for (const auto& w : words) cmd += " " + quoted(w);
    auto out = dir.path / "out.txt", err = dir.path / "err.txt";
    cmd += " </dev/null >" + quoted(out.string()) + " 2>" + quoted(err.string());
    int status = std::system(cmd.c_str());
    Outcome r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::fileBytes(out),
              test::fileBytes(err)};
    fs::remove(out);
    fs::remove(err);
    return r;
}

std::vector<std::string> withRoot(const test::TempDir& dir, std::vector<std::string> words) {
    words.insert(words.begin(), {"--root", (dir.path / "root").string(), "--today", "2026-12-08"});
    return words;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Cli, HelpListsTheCommandsAndUsageErrorsExitTwo) {
    test::TempDir dir;
    Outcome help = run(dir, {"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(contains(help.out, "init"));
    EXPECT_TRUE(contains(help.out, "demo [--articles N] [--seed S] [--changed-share P] [--force]"));
    Outcome demoHelp = run(dir, {"demo", "--help"});
    EXPECT_EQ(demoHelp.code, 0);
    EXPECT_TRUE(contains(demoHelp.out, "Uso: controllo-listino demo [--articles N]"));
    Outcome version = run(dir, {"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(contains(version.out, "controllo-listino " CL_VERSION "\n")) << version.out;
    EXPECT_TRUE(contains(help.out, "--version")) << "the manual page is made from the help";
    EXPECT_EQ(run(dir, {"--nonesiste"}).code, 2);
    EXPECT_EQ(run(dir, {"comandofinto"}).code, 2);
    EXPECT_EQ(run(dir, {"--today", "2026-13-01", "init"}).code, 2);
    for (auto bad : std::vector<std::vector<std::string>>{{"demo", "--articles", "abc"},
                                                          {"demo", "--articles", "0"},
                                                          {"demo", "--seed", "-1"},
                                                          {"demo", "--changed-share", "101"},
                                                          {"demo", "--sconosciuta"},
                                                          {"demo", "extra"}}) {
        Outcome r = run(dir, withRoot(dir, bad));
        EXPECT_EQ(r.code, 2) << bad.back();
        EXPECT_TRUE(contains(r.err, "Uso: controllo-listino demo")) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir.path / "root")) << "a usage error writes nothing";
}

TEST(Cli, ServerChoiceMistakesAreUsageErrorsBeforeAnythingIsWritten) {
    test::TempDir dir;
    EXPECT_TRUE(contains(run(dir, {"--help"}).out, "--server URL"));
    EXPECT_EQ(run(dir, withRoot(dir, {"--server"})).code, 2);
    Outcome empty = run(dir, withRoot(dir, {"--server", "", "init"}));
    EXPECT_EQ(empty.code, 2);
    EXPECT_TRUE(contains(empty.err, "indirizzo del server vuoto")) << empty.err;

    test::writeBytes(dir.path / "root" / "controllo-listino.conf",
                     "# prova\nserver = dbname=n\nutente = mario\n");
    Outcome broken = run(dir, withRoot(dir, {"init"}));
    EXPECT_EQ(broken.code, 2);
    EXPECT_TRUE(contains(broken.err, "riga 3: chiave sconosciuta \"utente\"")) << broken.err;
    EXPECT_FALSE(fs::exists(dir.path / "root" / "C")) << "nothing written";
}

TEST(Cli, ServerCommandUsage) {
    test::TempDir dir;
    EXPECT_TRUE(contains(run(dir, {"--help"}).out, "server init | import [ROOT] | export [ROOT]"));
    const std::vector<std::string> server{"--server", "host=srv1 dbname=negozio"};
    for (auto words : std::vector<std::vector<std::string>>{{"server"},
                                                            {"server", "pippo"},
                                                            {"server", "init", "extra"},
                                                            {"server", "import", "a", "b"},
                                                            {"server", "export", ""}}) {
        words.insert(words.begin(), server.begin(), server.end());
        Outcome r = run(dir, withRoot(dir, words));
        EXPECT_EQ(r.code, 2) << words.back() << r.err;
        EXPECT_TRUE(contains(r.err, "Uso: controllo-listino server")) << r.err;
    }
    Outcome none = run(dir, withRoot(dir, {"server", "init"}));
    EXPECT_EQ(none.code, 2);
    EXPECT_TRUE(contains(none.err, "nessun server indicato")) << none.err;
    EXPECT_FALSE(fs::exists(dir.path / "root")) << "a usage error writes nothing";
}

TEST(Cli, InitCreatesTheMissingDatabasesOnce) {
    test::TempDir dir;
    Outcome first = run(dir, withRoot(dir, {"init"}));
    EXPECT_EQ(first.code, 0) << first.err;
    EXPECT_TRUE(contains(first.out, "C:\\ostrel\\tramel.mdb"));
    for (const char* f :
         {"C/ostrel/tramel.mdb", "C/ostrel/client.mdb", "C/tramel/DATI.MDB", "C/orvik/DATI.MDB"})
        EXPECT_TRUE(fs::exists(dir.path / "root" / f)) << f;
    Outcome second = run(dir, withRoot(dir, {"init"}));
    EXPECT_EQ(second.code, 0);
    EXPECT_TRUE(contains(second.out, "nulla da creare"));
}

TEST(Cli, DemoCreatesRefusesAndReplaces) {
    test::TempDir dir;
    Outcome made = run(dir, withRoot(dir, {"demo", "--articles", "300", "--seed", "5"}));
    ASSERT_EQ(made.code, 0) << made.err;
    EXPECT_TRUE(contains(made.out, "Negozio di prova creato"));
    EXPECT_TRUE(contains(made.out, "Articoli del negozio:       300"));
    EXPECT_TRUE(contains(made.out, "C:\\negozio\\dati\\DATI.MDB"));
    auto store = dir.path / "root" / "C" / "negozio" / "dati" / "DATI.MDB";
    auto bytes = test::fileBytes(store);

    Outcome refused = run(dir, withRoot(dir, {"demo", "--articles", "300", "--seed", "6"}));
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(contains(refused.err, "esiste già")) << refused.err;
    EXPECT_TRUE(refused.out.empty()) << refused.out;
    EXPECT_EQ(test::fileBytes(store), bytes);

    Outcome replaced =
        run(dir, withRoot(dir, {"demo", "--articles", "300", "--seed", "6", "--force"}));
    EXPECT_EQ(replaced.code, 0) << replaced.err;
    EXPECT_NE(test::fileBytes(store), bytes);
}

TEST(Cli, MissingSuiteMessageAndExitOne) {
    test::TempDir dir;
    // A command that needs the databases, on an empty root: the start-up message, then exit 1.
    Outcome r = run(dir, withRoot(dir, {"check"}));
    if (r.code == 2 && contains(r.err, "comando sconosciuto"))
        GTEST_SKIP() << "no check command on this branch";
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(contains(r.err, "Attenzione ... File C:\\ostrel\\tramel.mdb  non esiste "))
        << r.err;
}

}  // namespace
}  // namespace cl
