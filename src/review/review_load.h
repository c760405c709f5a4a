#pragma once
#include <optional>
#include <string>

#include "app/parameters.h"
#include "app/session.h"
#include "review/review_filter.h"

namespace cl::review {

// What the review screen's opening leaves: the parameter row's options (when the row exists),
// the supplier in force and its name, and the grid's first filter.
struct ReviewOpening {
    std::optional<ParameterRow> parameters;
    ReviewFilter filter;  // codfor = the supplier as the check left it
};

// The review screen's load: base condition from the current supplier, then the parameter row
// (tiposel -> tipo_filtro, cliente -> codice_fornitore) and the supplier name from fornitori,
// "Sede Centrale" when it is not there (45 characters).
ReviewOpening openReviewData(Session& session, store::Database& db);

}  // namespace cl::review
