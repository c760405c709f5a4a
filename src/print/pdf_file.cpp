#include "print/pdf_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPrinter>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "print/qt_printer.h"
#include "store/error.h"

namespace cl::print {

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

void ensureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "controllo-listino";
    static char* argv[] = {name, nullptr};
    // It lives until the process ends: destroying it among the static objects at exit would
    // crash.
    new QGuiApplication(argc, argv);
}

void writePdf(const std::filesystem::path& file, const std::function<void(QPrinter&)>& prepare,
              const std::function<void(QPrinter&)>& draw) {
    ensureGuiApplication();
    const auto part = newPartFile(file);
    std::error_code ec;
    try {
        // The printer writes the file when it goes out of scope, before the rename.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(part.string()));
        prepare(printer);
        draw(printer);
    } catch (...) {
        std::filesystem::remove(part, ec);
        throw;
    }
    std::filesystem::rename(part, file, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + ".",
                    ErrorKind::ReadOnly);
    }
}

void writeDocumentPdf(const std::filesystem::path& file, const QString& name,
                      const std::function<void(Printer&)>& draw) {
    writePdf(
        file, [&](QPrinter& printer) { prepareReportPrinter(printer, name); },
        [&](QPrinter& printer) {
            QtPrinter out(printer);
            draw(out);
        });
}

}  // namespace cl::print
