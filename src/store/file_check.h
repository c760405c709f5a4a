#pragma once
#include <filesystem>

namespace cl::store {

enum class OpenMode { ReadWrite, ReadOnly, Create };

// Checks made before a file is opened, so that a bad file is refused with nothing written.
// Special: a FIFO, socket or device, which would make a reader wait or read endlessly.
enum class FileKind { Missing, Directory, Special, Empty, SQLite, Access, Other };
FileKind fileKind(const std::filesystem::path& file);
// Throws cl::Error with the message for a file that cannot be used (missing, Access, not a
// database, read-only when writing), of the kind NotFound, Corrupt or ReadOnly.
void checkUsable(const std::filesystem::path& file, OpenMode mode);

}  // namespace cl::store
