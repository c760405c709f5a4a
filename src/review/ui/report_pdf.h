#pragma once
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "review/review_filter.h"
#include "store/database.h"

namespace cl::review::ui {

// Any document laid out through a Printer, as a PDF file that appears only when complete.
void writeDocumentPdf(const std::filesystem::path& file, const QString& name,
                      const std::function<void(Printer&)>& draw);

// Printing needs a GUI application object; without a display it runs offscreen.
void ensureGuiApplication();

// The report of the rows that `filter` shows, written to a PDF file. The file appears only
// when the whole document is written. Returns the number of pages.
int writeReportPdf(const std::filesystem::path& file, const Session& session, store::Database& db,
                   const ReviewFilter& filter);

// The lines of the articles created without a barcode, as a PDF file (none for no lines).
void writeNoBarcodePdf(const std::filesystem::path& file, const std::vector<std::string>& lines);

}  // namespace cl::review::ui
