#pragma once

namespace cl::store {

// How many write transactions this process holds open right now. Nothing may wait for the
// operator while it is above zero: every other workstation would wait on the lock meanwhile.
int openWriteTransactions();

// Counts one open write transaction for as long as it lives, or until it is released.
class WriteTransactionMark {
  public:
    WriteTransactionMark();
    ~WriteTransactionMark();
    WriteTransactionMark(const WriteTransactionMark&) = delete;
    WriteTransactionMark& operator=(const WriteTransactionMark&) = delete;
    void release();

  private:
    bool held_ = true;
};

}  // namespace cl::store
