#include "store/identifier.h"

#include "store/error.h"

namespace cl::store {

std::string quoteName(const std::string& name) {
    // The engine reads statement text up to a NUL: such a name could never mean itself.
    if (name.find('\0') != std::string::npos)
        throw Error(
            "Attenzione ... Nome di tabella o campo non valido (contiene un carattere "
            "nullo).");
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace cl::store
