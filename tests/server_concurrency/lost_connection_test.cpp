// The server out of reach: a connection cut in the middle of an update rolls the whole update
// back and says so in Italian; a server that is down is named at start-up, in Italian.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "check/start_up.h"
#include "server_store.h"
#include "store/error.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"
#include "support/workstation.h"

namespace cl::test {
namespace {

class LostConnection : public ServerStoreTest {
  protected:
    // The server process of the connection holding the writers' lock of this store, once one
    // does (0 when none did within `seconds`).
    long long writerHoldingTheLock(double seconds) {
        auto db = ts->openStoreDb();
        auto st = db->prepare(
            "SELECT pid FROM pg_locks WHERE locktype = 'advisory' AND granted AND database = "
            "(SELECT oid FROM pg_database WHERE datname = current_database())");
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (st.step()) {
                long long pid = st.value(0).integer();
                st.reset();
                return pid;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return 0;
    }
    void cut(long long serverProcess) {
        auto db = ts->openStoreDb();
        auto st = db->prepare("SELECT pg_terminate_backend(CAST(? AS integer))");
        st.bind(1, store::Value(serverProcess));
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.value(0).integer(), 1);
        st.reset();
    }
};

TEST_F(LostConnection, UpdateCutMidwayRollsBackWholeAndSaysSo) {
    seed(3000);
    ASSERT_FALSE(refused(runCheck(session())));
    const auto before = tables(session());
    Session s = session();
    Workstation update([s] { return runUpdate(s); });
    update.go();
    const long long writer = writerHoldingTheLock(30);
    ASSERT_NE(writer, 0) << "the update never took the lock: " << update.finish();
    // Well inside the update: some rows are written, none committed.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    cut(writer);
    const std::string said = update.finish();
    EXPECT_NE(said.find("Aggiornamento non eseguito"), std::string::npos) << said;
    EXPECT_NE(said.find("Il collegamento con il server si è interrotto"), std::string::npos)
        << said;
    EXPECT_NE(said.find("non è stata salvata"), std::string::npos) << said;
    EXPECT_TRUE(tables(session()) == before) << "the cut update left rows written";
    // Nothing is left half done: the same update runs to its end afterwards.
    EXPECT_FALSE(refused(runUpdate(session())));
    EXPECT_EQ(ts->scalar("SELECT count(*) FROM variatil"), "0");
}

TEST(ServerDown, StartUpNamesTheServerInItalian) {
    TempDir dir;
    Session session(dir.path / "root", 'C');
    // A server folder where no server listens: as a server switched off.
    session.server = "host=" + (dir.path / "spento").string() + " port=5432 user=cl dbname=negozio";
    RecordingMessages messages;
    try {
        check::locateDatabases(session, messages);
        ADD_FAILURE() << "started without a server";
    } catch (const Error& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Attenzione ... Impossibile collegarsi al server PostgreSQL", 0), 0u)
            << text;
        EXPECT_NE(text.find("Controllare che il server sia acceso"), std::string::npos) << text;
        EXPECT_NE(text.find("spento"), std::string::npos) << "the server is not named: " << text;
    }
    // The command line says the same and ends as refused, with nothing written.
    CliResult cli = runProgram(dir.path / "root", {"--server", session.server, "apply"});
    EXPECT_EQ(cli.exitCode, 1) << cli.err;
    EXPECT_NE(cli.err.find("Impossibile collegarsi al server PostgreSQL"), std::string::npos)
        << cli.err;
}

}  // namespace
}  // namespace cl::test
