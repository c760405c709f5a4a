#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/money.h"
#include "app/session.h"

namespace cl::history {

// One barcode whose sale price an update (or its undo) changed, as scales and tills load it.
struct BarcodePriceChange {
    std::string ean;
    long long article = 0;
    std::string description;
    long long department = 0;
    std::string departmentName, unit;
    std::optional<Money> oldPrice;  // none for a barcode the update added
    Money newPrice;
    std::optional<Money> referencePrice;  // per reference unit, where the content is known
    std::string referenceUnit;
    bool byWeight = false;  // in-store code beginning with 2
};

struct PriceChangeList {
    long long run = 0;
    bool undone = false;
    std::vector<BarcodePriceChange> lines;  // in order of barcode
};

// The run given, or the last one not undone. For an undone run the lines go from the run's
// prices back to the ones the undo restored; barcodes the run added (and the undo removed)
// are not listed.
PriceChangeList priceChangesOfRun(Session& session, std::optional<long long> run);
// Semicolon-separated, decimal comma, heading line, CRLF line ends, UTF-8 with a BOM.
std::string priceChangesCsv(const PriceChangeList& list);
// The file is written beside and moved into place when complete.
void writePriceChangesCsv(const PriceChangeList& list, const std::string& file);

}  // namespace cl::history
