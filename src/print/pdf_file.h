#pragma once
#include <QString>
#include <filesystem>
#include <functional>

#include "app/interfaces.h"

class QPrinter;

namespace cl::print {

// Printing needs a GUI application object (no widgets); without a display it runs offscreen.
// A process that already has an application object (the screens) keeps it.
void ensureGuiApplication();

// A PDF file that appears only when complete: `prepare` sets the paper of the printer,
// `draw` fills its pages. Written beside the target and renamed at the end, so a failure
// leaves no half file. Throws cl::Error.
void writePdf(const std::filesystem::path& file, const std::function<void(QPrinter&)>& prepare,
              const std::function<void(QPrinter&)>& draw);

// Any document laid out through a Printer (report paper), as a PDF file that appears only when
// complete.
void writeDocumentPdf(const std::filesystem::path& file, const QString& name,
                      const std::function<void(Printer&)>& draw);

}  // namespace cl::print
