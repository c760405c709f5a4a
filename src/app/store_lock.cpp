#include "app/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "app/clock.h"
#include "app/interfaces.h"
#include "app/numbers.h"
#include "app/session.h"
#include "app/who.h"
#include "store/error.h"
#include "store/workstations.h"

namespace cl {

namespace {

std::string readAll(int fd) {
    std::string out;
    char buf[512];
    ::lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0 && out.size() < 4096;)
        out.append(buf, static_cast<size_t>(n));
    return out;
}

// One "key=value" a line; what is not there stays empty.
StoreHolder parse(const std::string& text) {
    StoreHolder h;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "pc") h.pc = value;
        if (key == "user") h.user = value;
        if (key == "since") h.since = value;
    }
    return h;
}

}  // namespace

StoreLock::~StoreLock() {
    ::close(fd_);  // the lock goes with the descriptor
}

std::filesystem::path StoreLock::fileFor(const std::filesystem::path& storeFile) {
    return storeFile.parent_path() / (storeFile.filename().string() + ".in-uso");
}

std::unique_ptr<StoreLock> StoreLock::take(const std::filesystem::path& file,
                                           std::optional<StoreHolder>& other) {
    other.reset();
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0664);
    if (fd < 0)
        throw Error("Attenzione ... Impossibile aprire " + file.string() + ": " +
                    std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        other = parse(readAll(fd));
        ::close(fd);
        return nullptr;
    }
    const Who& here = whoIsHere();
    const std::string who = "pc=" + here.pc + "\nuser=" + here.user + "\nsince=" + nowIso() +
                            "\npid=" + std::to_string(::getpid()) + "\n";
    // What it says is only told to the operator: a failed write takes nothing away from the lock.
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, who.data(), who.size(), 0) > 0) ::fsync(fd);
    return std::unique_ptr<StoreLock>(new StoreLock(fd));
}

std::optional<StoreHolder> takeStoreFiles(const Session& session) {
    if (session.onServer() || session.storeLock) return std::nullopt;
    std::optional<StoreHolder> other;
    try {
        session.storeLock =
            StoreLock::take(StoreLock::fileFor(session.host(session.state.nomedb)), other);
    } catch (const Error&) {
        return std::nullopt;  // a folder that takes no lock file takes no other copy's writes
    }
    return other;
}

void lookIfHeldElsewhere(Session& session) {
    if (takeStoreFiles(session)) session.readOnly = true;
}

namespace {

// On a server many workstations share the store: this one names itself on a connection it keeps
// open for as long as the program runs, and the operator is told who else works on the store.
void showOtherWorkstations(Session& session, Messages& messages) {
    auto db =
        store::openServer(session.server, store::kServerStoreSchema, store::OpenMode::ReadOnly);
    const Who& here = whoIsHere();
    store::announceWorkstation(*db, here.pc, here.user);
    const auto others = store::otherWorkstations(*db);
    session.serverPresence = std::move(db);
    if (others.empty()) return;
    std::string text = "Il negozio è aperto anche";
    for (size_t i = 0; i < others.size(); ++i)
        text += (i == 0 ? " " : ", ") + holderText({others[i].pc, others[i].user, others[i].since});
    messages.show(text + ".", Icon::Information, "Controllo Articoli");
}

}  // namespace

bool holdStoreFiles(Session& session, Messages& messages) {
    if (session.onServer()) {
        if (!session.serverPresence) showOtherWorkstations(session, messages);
        return true;
    }
    auto other = takeStoreFiles(session);
    if (!other) return true;
    const std::string text = alreadyOpenText(*other) +
                             "\nAprirlo in sola lettura, senza controlli, aggiornamenti o "
                             "modifiche? (No: il programma si chiude)";
    if (messages.ask(text, "Controllo Articoli", Icon::Question, Answer::Yes) != Answer::Yes)
        return false;
    session.readOnly = true;
    return true;
}

std::string holderText(const StoreHolder& h) {
    std::string text = h.pc.empty() ? "" : "su " + h.pc;
    if (!h.user.empty()) text += (text.empty() ? "" : " ") + std::string("(utente ") + h.user + ")";
    if (!h.since.empty())
        text += (text.empty() ? "" : " ") + std::string("dal ") + formatDateTime(h.since);
    return text;
}

std::string alreadyOpenText(const StoreHolder& h) {
    const std::string who = holderText(h);
    return "Il negozio è già aperto" + (who.empty() ? "" : " " + who) + ".";
}

}  // namespace cl
