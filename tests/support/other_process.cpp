#include "support/other_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include "store/database.h"

namespace cl::test {

namespace {
OtherWrite writeInAnotherProcess(const std::function<std::unique_ptr<store::Database>()>& open,
                                 const std::string& sql) {
    const auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child == 0) {
        // A process of its own: its locks are not this process's, as on another workstation.
        int status = 1;
        try {
            auto connection = open();
            store::Database& db = *connection;
            store::Transaction tx(db);
            db.exec(sql);
            tx.commit();
            status = 0;
        } catch (...) {
        }
        ::_exit(status);
    }
    OtherWrite w;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child)
        w.committed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    w.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return w;
}
}  // namespace

OtherWrite writeFromAnotherProcess(const std::filesystem::path& file, const std::string& sql) {
    return writeInAnotherProcess([&] { return store::openDatabase(file); }, sql);
}

OtherWrite writeFromAnotherProcess(TempStore& t, bool fixed, const std::string& sql) {
    return writeInAnotherProcess([&] { return t.openStoreDb(fixed); }, sql);
}

}  // namespace cl::test
