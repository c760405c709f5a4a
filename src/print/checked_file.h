#pragma once
#include <sys/types.h>
#include <unistd.h>

#include <QIODevice>
#include <cstdint>
#include <functional>
#include <string>

namespace cl::print {

// The system calls a file is written with; tests put failing ones in their place.
struct FileCalls {
    std::function<ssize_t(int, const void*, size_t)> write = ::write;
    std::function<int(int)> fsync = ::fsync;
    std::function<int(int)> close = ::close;
};

// An open file as a device Qt writes into. Every write is checked: the first failure is kept,
// what follows is refused, and finish() reports it. Nothing is ever taken as written unless
// the system said so, up to the flush to the disk and the close.
class CheckedFile : public QIODevice {
  public:
    CheckedFile(int fd, FileCalls calls);
    ~CheckedFile() override;
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    bool isSequential() const override { return true; }
    // Writes what is held, flushes the file to the disk and closes it: the error number of the
    // first failure, 0 when every byte is on the disk.
    int finish();
    std::int64_t bytesWritten() const { return written_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

  private:
    void flushHeld();

    int fd_;
    FileCalls calls_;
    std::string held_;  // written in blocks, not in the many small pieces a PDF is made of
    int error_ = 0;
    bool closed_ = false;
    std::int64_t written_ = 0;
};

// Why a file could not be written, in Italian and naming it: "Disco pieno" when the disk (or
// the user's quota) is full.
std::string writeFailure(const std::string& file, int error);

}  // namespace cl::print
