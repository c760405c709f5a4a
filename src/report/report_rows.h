#pragma once
#include <optional>
#include <string>
#include <vector>

#include "review/review_filter.h"
#include "store/database.h"
#include "store/value.h"

namespace cl::review {

// The article record of a report line, as `listi01` holds it.
struct ReportArticle {
    std::string umart;
    store::Value imbart;
    double cofart = 0;
    std::string ivart;
    double cosiva = 0;
    double ricart = 0;
};

// One row of the review view with what the report prints of it. `article` is empty when the
// row's article is not in `listi01`: such rows are left out of the report.
struct ReportRow {
    long long codart = 0;
    std::string ean;
    std::string descrizione;
    double prezzoV = 0;
    std::optional<ReportArticle> article;
};

// The rows of the review view that `filter` gives, first to last, each with the article of its
// code in `listi01`.
std::vector<ReportRow> readReportRows(store::Database& db, const ReviewFilter& filter);

}  // namespace cl::review
