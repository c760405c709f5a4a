#pragma once
#include <string>
#include <vector>

#include "app/interfaces.h"

namespace cl::review {

// The printed line of an article created without a barcode:
// "Creato Codice : 123   DESCRIZIONE  ****NO CODICE EAN".
std::string noBarcodeLine(long long codice, const std::string& descrizione);

// The lines of one update run as one document: "times new roman" 10 points from the top-left
// corner, a new page when a line's top reaches the report's limit. No lines, no document.
void printNoBarcodeList(Printer& printer, const std::vector<std::string>& lines);

}  // namespace cl::review
