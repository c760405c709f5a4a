#pragma once
#include <QString>
#include <filesystem>
#include <functional>

#include "app/interfaces.h"
#include "print/checked_file.h"

class QPagedPaintDevice;

namespace cl::print {

// Printing needs a GUI application object (no widgets); without a display it runs offscreen.
// A process that already has an application object (the screens) keeps it.
void ensureGuiApplication();

// A PDF file that appears only when complete: `prepare` sets the paper of the device, `draw`
// fills its pages. Written beside the target, every write and the close checked, and renamed
// at the end, so a failure (a full disk: "Disco pieno") leaves no file. Throws cl::Error.
void writePdf(const std::filesystem::path& file, const QString& title,
              const std::function<void(QPagedPaintDevice&)>& prepare,
              const std::function<void(QPagedPaintDevice&)>& draw, const FileCalls& calls = {});

// Any document laid out through a Printer (report paper), as a PDF file that appears only when
// complete.
void writeDocumentPdf(const std::filesystem::path& file, const QString& name,
                      const std::function<void(Printer&)>& draw, const FileCalls& calls = {});

}  // namespace cl::print
