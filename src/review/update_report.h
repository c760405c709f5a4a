#pragma once
#include <string>
#include <vector>

#include "app/interfaces.h"

namespace cl::review {

// The list of products created without a barcode: one line each, then the document ends (the
// lines of a whole update make one document). Nothing is printed for an empty list.
void stampaSenzaEan(Printer& printer, const std::vector<std::string>& righe);

}  // namespace cl::review
