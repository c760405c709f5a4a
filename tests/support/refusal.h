#pragma once
#include <functional>
#include <string>

#include "store/error.h"

namespace cl::test {

inline const std::string kNoRefusal = "<nessun rifiuto>";

// What a call refused with: its Italian text and its kind (kNoRefusal when it did not refuse).
struct Refusal {
    std::string message;
    ErrorKind kind = ErrorKind::Other;
};

inline Refusal refusal(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return {e.what(), e.kind()};
    }
    return {kNoRefusal, ErrorKind::Other};
}

}  // namespace cl::test
