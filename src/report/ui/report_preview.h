#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/interfaces.h"
#include "app/session.h"
#include "review/review_filter.h"
#include "store/database.h"

class QWidget;

namespace cl::review::ui {

// Any document laid out through a Printer, in a print preview (print on any printer, or PDF).
void previewDocument(QWidget* parent, const QString& name,
                     const std::function<void(Printer&)>& draw);

// "Stampa": the report of the rows the review grid shows, in a print preview from which the
// operator prints on any printer or saves a PDF. Errors are shown as messages.
void printReportWithPreview(QWidget* parent, Session& session, const ReviewFilter& filter);
// The same over a connection the screen already holds.
void printReportWithPreview(QWidget* parent, const Session& session, store::Database& db,
                            const ReviewFilter& filter);

// The lines of the articles created without a barcode, as one document in a print preview.
// Nothing opens for no lines.
void printNoBarcodeWithPreview(QWidget* parent, const std::vector<std::string>& lines);

}  // namespace cl::review::ui
