// A PDF is complete or absent: every write to the disk, its flush and its close are checked,
// and a full disk is told as "Disco pieno" with no file left.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "print/pdf_file.h"
#include "store/error.h"
#include "support/temp_dir.h"
#include "support/tools.h"

namespace cl::print {
namespace {

namespace fs = std::filesystem;

// Several pages of text: more than one block of writes.
void longDocument(Printer& p) {
    p.setFontSize(10);
    for (int page = 0; page < 40; ++page) {
        if (page) p.newPage();
        for (int line = 0; line < 60; ++line)
            p.print("Riga " + std::to_string(page * 60 + line) + " PASTA DI SEMOLA 500 GR", true);
    }
    p.endDoc();
}

// The system calls, with the disk filling after `room` bytes.
struct FillingDisk {
    long long room;
    long long taken = 0;
    int fsyncError = 0, closeError = 0;
    bool shortWrites = false;  // the system takes part of what it is given
    FileCalls calls() {
        FileCalls c;
        c.write = [this](int fd, const void* data, size_t size) -> ssize_t {
            if (shortWrites && size > 1000) size = 1000;
            if (taken + static_cast<long long>(size) > room) {
                errno = ENOSPC;
                return -1;
            }
            taken += static_cast<long long>(size);
            return ::write(fd, data, size);
        };
        c.fsync = [this](int fd) {
            if (fsyncError) {
                errno = fsyncError;
                return -1;
            }
            return ::fsync(fd);
        };
        c.close = [this](int fd) {
            int rc = ::close(fd);
            if (closeError) {
                errno = closeError;
                return -1;
            }
            return rc;
        };
        return c;
    }
};

std::string failureOf(const fs::path& pdf, FillingDisk disk) {
    try {
        writeDocumentPdf(pdf, QStringLiteral("prova"), longDocument, disk.calls());
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

TEST(PdfWriteFailure, AFullDiskAtAnyWriteOrAtTheFlushLeavesNoFileAndSaysDiscoPieno) {
    test::TempDir dir;
    const auto pdf = dir.path / "controllo.pdf";
    FillingDisk roomy{1LL << 40};
    writeDocumentPdf(pdf, QStringLiteral("prova"), longDocument, roomy.calls());
    const long long whole = roomy.taken;
    ASSERT_GT(whole, 64 * 1024) << "the document must need several writes";
    fs::remove(pdf);

    // Full at the first write, within the document, and at its last bytes.
    for (long long room : {0LL, whole / 2, whole - 1}) {
        const std::string why = failureOf(pdf, {room});
        EXPECT_NE(why.find("Disco pieno: il file " + pdf.string() + " non è stato scritto"),
                  std::string::npos)
            << room << ": " << why;
        EXPECT_TRUE(fs::is_empty(dir.path)) << room;
    }
    // A disk that says it is full only when the data reach it, or a close that fails.
    EXPECT_NE(failureOf(pdf, {1LL << 40, 0, ENOSPC}).find("Disco pieno"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir.path));
    const std::string io = failureOf(pdf, {1LL << 40, 0, 0, EIO});
    EXPECT_NE(io.find("Impossibile scrivere il file " + pdf.string()), std::string::npos) << io;
    EXPECT_TRUE(fs::is_empty(dir.path));
}

TEST(PdfWriteFailure, WritesTheSystemTakesInPartsAreCarriedOnToTheEnd) {
    CL_REQUIRE_TOOL("pdftotext -v", "pdftotext (poppler-utils)");
    test::TempDir dir;
    const auto pdf = dir.path / "controllo.pdf";
    FillingDisk partial{1LL << 40};
    partial.shortWrites = true;
    writeDocumentPdf(pdf, QStringLiteral("prova"), longDocument, partial.calls());
    EXPECT_EQ(static_cast<long long>(fs::file_size(pdf)), partial.taken);
    const std::string text = test::shellOutput("pdftotext '" + pdf.string() + "' -");
    EXPECT_NE(text.find("Riga 2399 PASTA DI SEMOLA"), std::string::npos) << text.substr(0, 200);
}

}  // namespace
}  // namespace cl::print
