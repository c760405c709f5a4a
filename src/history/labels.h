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
    std::optional<Money> offerPrice, offerUnitPrice;  // while an offer runs (`przsal`)
    std::string unit;                                 // `umart`
    long long department = 0;
    std::string departmentName;
};

struct LabelList {
    long long run = 0;  // 0 for the labels of articles chosen by code
    std::string at;
    bool undone = false;        // the run was undone: the labels carry the prices put back
    std::vector<Label> labels;  // in order of description
};

// The labels of a run (the last one not undone when none is given). For a run that was undone
// they carry the prices the undo put back (the run's new prices as the old ones).
LabelList labelsToReprint(Session& session, std::optional<long long> run);
// The labels of the given articles at their current prices, in the order given.
LabelList labelsForArticles(Session& session, const std::vector<long long>& articles);
// "12, 15,18" -> {12, 15, 18}; throws cl::Error on a code that is not a whole number.
std::vector<long long> articleCodes(const std::string& text);
std::string labelsCsv(const LabelList& list);
// One page per 40 labels: heading "Etichette da ristampare", then a row per label.
void printLabelList(const LabelList& list, Printer& printer);

}  // namespace cl::history
