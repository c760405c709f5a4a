#include "review/ui/report_pdf.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPrinter>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "report/report_layout.h"
#include "report/report_nobarcode.h"
#include "report/report_print.h"
#include "report/report_rows.h"
#include "review/ui/qt_printer.h"
#include "store/error.h"

namespace cl::review::ui {

namespace {

// A new file of our own beside the target, made exclusively: an existing name (a symlink left
// as "F.part" to another file, say) is never written through. Readable as the umask allows,
// like any file the program writes.
std::filesystem::path newPartFile(const std::filesystem::path& file) {
    std::string pattern = file.string() + ".XXXXXX.part";
    int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0)
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + ": " +
                        std::strerror(errno) + ".",
                    ErrorKind::ReadOnly);
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return pattern;
}

}  // namespace

// Writes beside the target and renames at the end, so a failure leaves no half file.
void writeDocumentPdf(const std::filesystem::path& file, const QString& name,
                      const std::function<void(Printer&)>& draw) {
    ensureGuiApplication();
    const auto part = newPartFile(file);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(part.string()));
    prepareReportPrinter(printer, name);
    try {
        QtPrinter out(printer);
        draw(out);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(part, ec);
        throw;
    }
    std::error_code ec;
    std::filesystem::rename(part, file, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + ".",
                    ErrorKind::ReadOnly);
    }
}

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "controllo-listino";
    static char* argv[] = {name, nullptr};
    // A widget application, so that the same process can also open a print preview. It lives
    // until the process ends: destroying it among the static objects at exit would crash.
    new QApplication(argc, argv);
}

int writeReportPdf(const std::filesystem::path& file, const Session& session, store::Database& db,
                   const ReviewFilter& filter) {
    const auto rows = leggoRigheReport(db, filter);
    const ReportHeading heading = intestazioneReport(session);
    int pages = 0;
    writeDocumentPdf(file, QStringLiteral("CONTROLLO PRODOTTI"), [&](Printer& p) {
        ReportLayout layout(p, heading);
        layout.stampa2(rows);
        pages = layout.page();
    });
    return pages;
}

void writeNoBarcodePdf(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    writeDocumentPdf(file, QStringLiteral("Prodotti senza codice EAN"),
                     [&](Printer& p) { stampaSenzaEan(p, lines); });
}

}  // namespace cl::review::ui
