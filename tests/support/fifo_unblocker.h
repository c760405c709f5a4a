#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace cl::test {

// Lets a reader stuck opening a FIFO go after two seconds (a writer opens and closes it), so
// that a program that waits on one fails its test instead of hanging it.
class FifoUnblocker {
  public:
    explicit FifoUnblocker(std::filesystem::path fifo)
        : fifo_(std::move(fifo)), thread_([this] {
              for (int i = 0; i < 1000 && !stop_; ++i) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
                  if (i < 200) continue;
                  int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) ::close(fd);
              }
          }) {}
    ~FifoUnblocker() {
        stop_ = true;
        thread_.join();
    }
    FifoUnblocker(const FifoUnblocker&) = delete;

  private:
    std::filesystem::path fifo_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace cl::test
