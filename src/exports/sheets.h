#pragma once
#include "exports/xlsx_writer.h"
#include "history/labels.h"
#include "history/price_history.h"
#include "review/review_rows.h"

namespace cl::exports {

// The review grid as it shows: columns 1 to 34 with their headings.
Sheet reviewSheet(const review::ReviewRows& rows);
Sheet labelsSheet(const history::LabelList& list);
Sheet historySheet(const history::ArticleHistory& history);

}  // namespace cl::exports
