#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "app/session.h"
#include "review/review_filter.h"
#include "store/database.h"

namespace cl::print {

// The report of the rows that `filter` shows, written to a PDF file. The file appears only
// when the whole document is written. Returns the number of pages.
int writeReportPdf(const std::filesystem::path& file, const Session& session, store::Database& db,
                   const review::ReviewFilter& filter);

// The lines of the articles created without a barcode, as a PDF file (none for no lines).
void writeNoBarcodePdf(const std::filesystem::path& file, const std::vector<std::string>& lines);

}  // namespace cl::print
