#pragma once
#include <optional>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/money.h"
#include "app/session.h"

namespace cl::history {

// "Etichette da ristampare": the articles whose sale price an update changed.
struct Label {
    long long article = 0;
    std::string ean, description;
    std::optional<Money> oldPrice;  // none for an article the run created
    Money newPrice;
    std::optional<Money> unitPrice;  // per reference unit, where known
    std::string referenceUnit;
};

struct LabelList {
    long long run = 0;
    std::string at;
    std::vector<Label> labels;  // in order of description
};

// The labels of a run (the last one not undone when none is given).
LabelList etichetteDaRistampare(Session& session, std::optional<long long> run);
std::string labelsCsv(const LabelList& list);
// One page per 40 labels: heading "Etichette da ristampare", then a row per label.
void stampaEtichette(const LabelList& list, Printer& printer);

}  // namespace cl::history
