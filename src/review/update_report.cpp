#include "review/update_report.h"

namespace cl::review {

void stampaSenzaEan(Printer& printer, const std::vector<std::string>& righe) {
    if (righe.empty()) return;
    for (const auto& riga : righe) printer.print(riga, true);
    printer.endDoc();
}

}  // namespace cl::review
