// Two copies of the program on one store's files: the second learns who holds them; a copy
// that ends, or dies, lets the store go.
#include "app/store_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/moment_text.h"
#include "support/temp_dir.h"

namespace cl {
namespace {

TEST(StoreLock, ASecondCopyLearnsWhoHoldsTheStoreUntilTheFirstEnds) {
    test::TempDir dir;
    const auto file = StoreLock::fileFor(dir.path / "DATI.MDB");
    EXPECT_EQ(file.filename(), "DATI.MDB.in-uso");
    std::optional<StoreHolder> other;
    auto first = StoreLock::take(file, other);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(other);

    EXPECT_EQ(StoreLock::take(file, other), nullptr);
    ASSERT_TRUE(other);
    EXPECT_FALSE(other->pc.empty());
    EXPECT_FALSE(other->user.empty());
    const std::string text = alreadyOpenText(*other);
    EXPECT_EQ(text.rfind("Il negozio è già aperto su ", 0), 0u) << text;
    EXPECT_NE(text.find(" (utente "), std::string::npos) << text;
    EXPECT_TRUE(test::holdsMoment(text, ") dal ", ".")) << text;
    EXPECT_EQ(text.back(), '.') << text;

    first.reset();  // the first copy ends
    EXPECT_NE(StoreLock::take(file, other), nullptr);
    EXPECT_FALSE(other);
}

TEST(StoreLock, ACopyThatDiedBlocksNobody) {
    test::TempDir dir;
    const auto file = StoreLock::fileFor(dir.path / "DATI.MDB");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::optional<StoreHolder> none;
        auto held = StoreLock::take(file, none);
        char c = held ? 'y' : 'n';
        if (write(ready[1], &c, 1) != 1) _exit(1);
        pause();  // killed while holding the store, as a crash would leave it
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    std::optional<StoreHolder> other;
    EXPECT_EQ(StoreLock::take(file, other), nullptr);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    // The file is still there with what the dead copy wrote: it is no lock.
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_NE(StoreLock::take(file, other), nullptr);
    close(ready[0]);
    close(ready[1]);
}

}  // namespace
}  // namespace cl
