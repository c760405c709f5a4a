#pragma once
#include <exception>
#include <string>

#include "app/interfaces.h"
#include "store/error.h"

namespace cl {

// Shows what stopped a command: with the information icon when it is no fault (there is
// nothing to act on), as an error otherwise.
inline void showFailure(Messages& messages, const std::exception& e,
                        const std::string& title = {}) {
    const bool nothing = dynamic_cast<const NothingToDo*>(&e) != nullptr;
    messages.show(e.what(), nothing ? Icon::Information : Icon::Critical, title);
}

}  // namespace cl
