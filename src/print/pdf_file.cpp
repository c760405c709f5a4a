#include "print/pdf_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cerrno>
#include <cstdlib>

#include "print/qt_printer.h"
#include "store/error.h"

namespace cl::print {

namespace {

// The resolution of a high-resolution printer writing a PDF: the layouts measure on it.
constexpr int kPdfDpi = 1200;

struct PartFile {
    std::filesystem::path path;
    int fd;
};

// A new file of our own beside the target, made exclusively: an existing name (a symlink left
// as "F.part" to another file, say) is never written through. Readable as the umask allows,
// like any file the program writes.
PartFile newPartFile(const std::filesystem::path& file) {
    std::string pattern = file.string() + ".XXXXXX.part";
    int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) throw Error(writeFailure(file.string(), errno), ErrorKind::ReadOnly);
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return {pattern, fd};
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

void writePdf(const std::filesystem::path& file, const QString& title,
              const std::function<void(QPagedPaintDevice&)>& prepare,
              const std::function<void(QPagedPaintDevice&)>& draw, const FileCalls& calls) {
    ensureGuiApplication();
    const PartFile part = newPartFile(file);
    std::error_code ec;
    int error = 0;
    {
        CheckedFile out(part.fd, calls);
        try {
            out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            {
                // The document is complete when the writer's painter ends, within `draw`.
                QPdfWriter writer(&out);
                writer.setResolution(kPdfDpi);
                writer.setTitle(title);
                writer.setCreator(QStringLiteral("Controllo Listino"));
                prepare(writer);
                draw(writer);
            }
            error = out.finish();
            // A document with not one byte is no PDF, whatever the writes said.
            if (!error && out.bytesWritten() == 0) error = EIO;
        } catch (...) {
            out.finish();
            std::filesystem::remove(part.path, ec);
            throw;
        }
    }
    if (error) {
        std::filesystem::remove(part.path, ec);
        throw Error(writeFailure(file.string(), error), ErrorKind::ReadOnly);
    }
    std::filesystem::rename(part.path, file, ec);
    if (ec) {
        std::filesystem::remove(part.path, ec);
        throw Error("Attenzione ... Impossibile scrivere il file " + file.string() + ".",
                    ErrorKind::ReadOnly);
    }
}

void writeDocumentPdf(const std::filesystem::path& file, const QString& name,
                      const std::function<void(Printer&)>& draw, const FileCalls& calls) {
    writePdf(
        file, name, [](QPagedPaintDevice& device) { setReportPage(device); },
        [&](QPagedPaintDevice& device) {
            QtPrinter out(device);
            draw(out);
        },
        calls);
}

}  // namespace cl::print
