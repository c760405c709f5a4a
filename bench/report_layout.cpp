// Time of the product check report over a generated review: reading the rows with their
// article seeks, and laying out every page through a printer that draws nothing.
//   bench_report_layout [ROWS] [--keep DIR]
// With --keep the generated store stays in DIR, for timing the PDF with
//   controllo-listino --root DIR report --pdf FILE
#include "report/report_layout.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/init_databases.h"
#include "app/session.h"
#include "report/report_rows.h"

namespace {

class SilentMessages : public cl::Messages {
  public:
    void show(const std::string& text, cl::Icon, const std::string&) override {
        std::cerr << text << "\n";
    }
    cl::Answer ask(const std::string&, const std::string&, cl::Icon, cl::Answer) override {
        return cl::Answer::No;
    }
};

// Keeps the position as a printer would (8-point lines of 7.6 units) and counts the work.
class CountingPrinter : public cl::Printer {
  public:
    long texts = 0, frames = 0, pages = 1;
    void setScale(double, double) override {}
    void setPos(double x, double y) override { x_ = x, y_ = y; }
    double x() const override { return x_; }
    double y() const override { return y_; }
    void setFontName(const std::string&) override {}
    void setFontSize(double p) override { size_ = p; }
    void setBold(bool) override {}
    void setLineWidth(int) override {}
    void rect(double, double, double, double) override { ++frames; }
    void print(const std::string& t, bool lineEnd) override {
        ++texts;
        if (lineEnd)
            x_ = 0, y_ += size_ * 0.95;
        else
            x_ += static_cast<double>(t.size()) * size_ / 2;
    }
    void newPage() override { ++pages, x_ = y_ = 0; }
    void endDoc() override {}

  private:
    double x_ = 0, y_ = 0, size_ = 8;
};

void fill(cl::store::Database& db, int rows) {
    db.exec("BEGIN");
    db.exec("INSERT INTO parametri (tipo, cliente, tiposel) VALUES ('01L', 12, 4)");
    db.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'FORNITORE DI PROVA')");
    for (int i = 1; i <= rows; ++i) {
        double cost = 0.5 + (i * 37 % 4000) / 100.0;
        if (i % 31)  // every 31st article is missing from the price list
            db.prepare(
                  "INSERT INTO listi01 (codart, umart, imbart, cofart, ivart, cosiva, ricart) "
                  "VALUES (?, 'PZ', 6, ?, '10', ?, 30)")
                .bindAll(i, cost, cost * 1.1)
                .run();
        std::string ean = std::to_string(8000000000000LL + i);
        db.prepare(
              "INSERT INTO variatil (bns, sel, codart, ea1art, desart, codfor, prezpub) "
              "VALUES (?, 'X', ?, ?, ?, 12, ?)")
            .bindAll(i, i, ean, "ARTICOLO DI PROVA " + std::to_string(i), cost * 1.5)
            .run();
    }
    db.exec("COMMIT");
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    int rows = 5000;
    std::filesystem::path keep;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
            keep = argv[++i];
        else
            rows = std::stoi(argv[i]);
    }
    const auto root =
        keep.empty() ? std::filesystem::temp_directory_path() / "cl-bench-report" : keep;
    std::filesystem::remove_all(root);
    cl::Session session(root, 'C');
    cl::initDatabases(session);
    SilentMessages messages;
    if (!session.settoDb(messages)) return 1;
    auto db = session.openStore();
    fill(*db, rows);

    cl::review::ReviewFilter filter;
    filter.supplier = 12;
    auto t0 = std::chrono::steady_clock::now();
    auto lines = cl::review::readReportRows(*db, filter);
    double read = seconds(t0);
    CountingPrinter printer;
    t0 = std::chrono::steady_clock::now();
    cl::review::ReportLayout(printer, {"08/12/2026", ""}).stampa2(lines);
    double layout = seconds(t0);

    std::cout << rows << " righe: lettura e ricerca in listi01 " << read * 1000 << " ms, "
              << "impaginazione " << layout * 1000 << " ms (" << printer.pages << " pagine, "
              << printer.texts << " testi, " << printer.frames << " riquadri)\n";
    if (keep.empty()) std::filesystem::remove_all(root);
    return 0;
}
