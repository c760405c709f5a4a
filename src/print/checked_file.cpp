#include "print/checked_file.h"

#include <cerrno>

namespace cl::print {

namespace {
constexpr size_t kBlock = 64 * 1024;
}

CheckedFile::CheckedFile(int fd, FileCalls calls) : fd_(fd), calls_(std::move(calls)) {}

CheckedFile::~CheckedFile() {
    if (!closed_) calls_.close(fd_);
}

qint64 CheckedFile::writeData(const char* data, qint64 size) {
    if (error_) return -1;
    held_.append(data, static_cast<size_t>(size));
    if (held_.size() >= kBlock) flushHeld();
    return error_ ? -1 : size;
}

void CheckedFile::flushHeld() {
    size_t done = 0;
    while (!error_ && done < held_.size()) {
        ssize_t n = calls_.write(fd_, held_.data() + done, held_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write that takes nothing without an error would loop for ever: the disk is full.
            error_ = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<size_t>(n);
        written_ += n;
    }
    held_.clear();
}

int CheckedFile::finish() {
    if (closed_) return error_;
    flushHeld();
    // Some file systems report a full disk only when the data reach it.
    if (!error_ && calls_.fsync(fd_) != 0) error_ = errno;
    closed_ = true;
    if (calls_.close(fd_) != 0 && !error_) error_ = errno;
    return error_;
}

std::string writeFailure(const std::string& file, int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return "Attenzione ... Disco pieno: il file " + file +
                   " non è stato scritto. Liberare spazio e riprovare.";
        case EROFS:
            return "Attenzione ... Impossibile scrivere il file " + file +
                   ": il disco è in sola lettura.";
        case EACCES:
        case EPERM:
            return "Attenzione ... Impossibile scrivere il file " + file + ": accesso negato.";
        case ENOENT:
        case ENOTDIR:
            return "Attenzione ... Impossibile scrivere il file " + file +
                   ": la cartella non esiste.";
        case EFBIG:
            return "Attenzione ... Impossibile scrivere il file " + file + ": file troppo grande.";
        default:
            return "Attenzione ... Impossibile scrivere il file " + file +
                   ": errore di scrittura sul disco (" + std::to_string(error) + ").";
    }
}

}  // namespace cl::print
