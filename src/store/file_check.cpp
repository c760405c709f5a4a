#include "store/file_check.h"

#include <unistd.h>

#include <cstring>
#include <fstream>

#include "store/error.h"

namespace cl::store {

FileKind fileKind(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return FileKind::Directory;
    if (!std::filesystem::exists(file, ec)) return FileKind::Missing;
    // Only a regular file is opened to read its header: opening a FIFO waits for a writer.
    if (!std::filesystem::is_regular_file(file, ec)) return FileKind::Special;
    std::ifstream in(file, std::ios::binary);
    char head[32] = {};
    in.read(head, sizeof head);
    auto got = in.gcount();
    if (got == 0) return FileKind::Empty;
    if (got >= 16 && std::memcmp(head, "SQLite format 3", 16) == 0) return FileKind::SQLite;
    if (got >= 19 && (std::memcmp(head + 4, "Standard Jet DB", 15) == 0 ||
                      std::memcmp(head + 4, "Standard ACE DB", 15) == 0))
        return FileKind::Access;
    return FileKind::Other;
}

namespace {

void refuseUnlessWritable(const std::filesystem::path& file, OpenMode mode) {
    if (mode == OpenMode::ReadOnly) return;
    // A file without any write permission is read-only even for a user (root) whom access()
    // would let write.
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto writeBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    bool noWriteBit = (fs::status(file, ec).permissions() & writeBits) == fs::perms::none;
    if (noWriteBit || ::access(file.c_str(), W_OK) != 0)
        throw Error("Attenzione ... Il file " + file.string() +
                        " è in sola lettura: impossibile aggiornarlo.",
                    ErrorKind::ReadOnly);
}

}  // namespace

void checkUsable(const std::filesystem::path& file, OpenMode mode) {
    const std::string name = file.string();
    switch (fileKind(file)) {
        case FileKind::Missing:
            if (mode == OpenMode::Create) return;
            throw Error("Attenzione ... File " + name + "  non esiste ", ErrorKind::NotFound);
        case FileKind::Directory:
            throw Error("Attenzione ... " + name + " è una cartella, non un database.",
                        ErrorKind::Corrupt);
        case FileKind::Special:
            throw Error("Attenzione ... " + name +
                            " non è un file normale (è una FIFO, un socket o un dispositivo): "
                            "non si può usare come database.",
                        ErrorKind::Corrupt);
        case FileKind::Empty:
            if (mode == OpenMode::Create) return;
            throw Error("Attenzione ... Il file " + name + " è vuoto: non è un database.",
                        ErrorKind::Corrupt);
        case FileKind::Access:
            throw Error("Attenzione ... Il file " + name +
                            " è un database Access. Questo programma usa database SQLite: "
                            "convertirlo con \"controllo-listino import-mdb " +
                            name + "\".",
                        ErrorKind::Corrupt);
        case FileKind::Other:
            throw Error("Attenzione ... Il file " + name + " non è un database valido.",
                        ErrorKind::Corrupt);
        case FileKind::SQLite:
            break;
    }
    refuseUnlessWritable(file, mode);
}

}  // namespace cl::store
