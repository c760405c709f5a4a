#include "store/write_transactions.h"

#include <atomic>

namespace cl::store {

namespace {
std::atomic<int> openCount{0};
}

int openWriteTransactions() {
    return openCount.load();
}

WriteTransactionMark::WriteTransactionMark() {
    ++openCount;
}

WriteTransactionMark::~WriteTransactionMark() {
    release();
}

void WriteTransactionMark::release() {
    if (held_) --openCount;
    held_ = false;
}

}  // namespace cl::store
