#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace cl {

// Who holds a store's files open in another copy of the program.
struct StoreHolder {
    std::string pc, user, since;  // since: "YYYY-MM-DD HH:MM:SS"
};

// Held while this copy of the program works on a store's files. The lock belongs to the open
// file, so it goes with the process: a copy that crashed blocks nobody.
class StoreLock {
  public:
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // Takes the lock at `file`, writing who holds it; when another copy holds it, returns
    // nothing and fills `other` with what that copy wrote. Throws cl::Error when the file
    // cannot be opened.
    static std::unique_ptr<StoreLock> take(const std::filesystem::path& file,
                                           std::optional<StoreHolder>& other);

    // The lock file of a store's file: beside it.
    static std::filesystem::path fileFor(const std::filesystem::path& storeFile);

  private:
    explicit StoreLock(int fd) : fd_(fd) {}
    int fd_;
};

class Session;
class Messages;

// Takes the store's files for this copy (nothing to take on a server, or when already held);
// when another copy holds them, says who, and this copy holds nothing.
std::optional<StoreHolder> takeStoreFiles(const Session& session);

// For what only reads: when another copy holds the store, this one turns read-only (opens
// every connection read-only, converts nothing) rather than waiting or failing.
void lookIfHeldElsewhere(Session& session);

// At the start of the screens on a store's files: takes the store for this copy; when another
// copy has it, says who and since when and asks whether to look read-only (Yes: the session
// turns read-only) or end (false). On a server nothing is taken: many workstations share it;
// the other workstations are listed, and this one is named for them until the session ends.
bool holdStoreFiles(Session& session, Messages& messages);

// "su PC (utente USER) dal 09/12/2026 17:47": the parts that are known.
std::string holderText(const StoreHolder& holder);
// "Il negozio è già aperto su PC (utente USER) dal 09/12/2026 17:47."
std::string alreadyOpenText(const StoreHolder& holder);

}  // namespace cl
