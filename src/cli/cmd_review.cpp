#include <iostream>
#include <map>

#include "cli/review_session.h"
#include "exports/sheets.h"
#include "review/review_grid.h"
#include "store/fixed_text.h"

namespace cl::cli {
namespace {

const std::map<std::string, review::SearchKind> kSearches{
    {"description", review::SearchKind::Description},
    {"code", review::SearchKind::Code},
    {"supplier-code", review::SearchKind::SupplierCode},
    {"subgroup", review::SearchKind::Subgroup},
    {"ean", review::SearchKind::Ean}};

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void printGrid(const review::ReviewRows& rows, bool csv) {
    const char* sep = csv ? "," : "\t";
    for (int c = 1; c <= review::kColumnCount; ++c)
        std::cout << (c > 1 ? sep : "") << review::columnInfo(c).heading;
    std::cout << "\n";
    for (size_t i = 0; i < rows.count(); ++i) {
        const review::ReviewRow& row = rows.row(i);
        for (int c = 1; c <= review::kColumnCount; ++c) {
            std::cout << (c > 1 ? sep : "");
            if (csv)
                std::cout << csvField(review::rawText(row, c));
            else
                std::cout << store::trimmed(review::cellLook(row, c).text);
        }
        std::cout << "\n";
    }
}

int runReview(Context& ctx, const Args& args) {
    auto search = args.value("search");
    size_t expected = search ? 1 : 0;
    if (args.positional().size() != expected)
        throw UsageError{search ? "--search vuole il tipo e il testo da cercare"
                                : "argomenti inattesi"};
    if (args.flag("csv") && args.value("xlsx")) throw UsageError{"--csv e --xlsx si escludono"};
    std::optional<review::SearchKind> kind;
    if (search) {
        auto it = kSearches.find(*search);
        if (it == kSearches.end()) throw UsageError{"ricerca sconosciuta: " + *search};
        kind = it->second;
    }
    auto s = openReviewSession(ctx, ctx.messages, /*lookOnly=*/true);
    if (args.flag("selected")) s->review->toggleSelectedView();
    if (kind) s->review->search(*kind, args.positional().front());
    if (auto xlsx = args.value("xlsx")) {
        exports::writeXlsx(*xlsx, {exports::reviewSheet(s->review->rows())});
        std::cout << "Scritto " << *xlsx << " (" << s->review->rows().count() << " righe)\n";
        return kDone;
    }
    printGrid(s->review->rows(), args.flag("csv"));
    return kDone;
}

Registration reg{
    {"review",
     "[--csv | --xlsx FILE] [--selected] [--search description|code|supplier-code|subgroup|ean "
     "TEXT]",
     "mostra la griglia della revisione (colonne 1-34) del fornitore dei parametri",
     {"search", "xlsx"},
     {"csv", "selected"},
     runReview}};

}  // namespace
}  // namespace cl::cli
