#include <iostream>

#include "app/numbers.h"
#include "cli/cli.h"
#include "print/report_pdf.h"
#include "review/open_review.h"
#include "review/review_load.h"

namespace cl::cli {
namespace {

using review::SearchKind;

// The grid's searches by their command-line names.
SearchKind searchKind(const std::string& kind) {
    static const std::map<std::string, SearchKind> kinds = {
        {"description", SearchKind::Description},
        {"code", SearchKind::Code},
        {"supplier-code", SearchKind::SupplierCode},
        {"subgroup", SearchKind::Subgroup},
        {"ean", SearchKind::Ean}};
    auto it = kinds.find(kind);
    if (it == kinds.end())
        throw UsageError{"tipo di ricerca sconosciuto: " + kind +
                         " (description, code, supplier-code, subgroup, ean)"};
    return it->second;
}

void applySearch(review::ReviewFilter& f, SearchKind kind, const std::string& text) {
    f.search = kind;
    if (kind == SearchKind::Ean)
        f.ean = text;  // replaces the supplier condition, as on the screen
    else
        f.searchText = text;
}

int runReport(Context& ctx, const Args& args) {
    auto pdf = args.value("pdf");
    if (!pdf || pdf->empty()) throw UsageError{"manca --pdf FILE"};
    auto search = args.value("search");
    if (args.positional().size() != (search ? 1u : 0u))
        throw UsageError{search ? "--search vuole il tipo e il testo da cercare"
                                : "argomenti inattesi"};
    const SearchKind kind = search ? searchKind(*search) : SearchKind::None;

    ctx.locate();
    auto db = ctx.session.openStore(false, store::OpenMode::ReadOnly);
    // As the screens open: the supplier of the last run, then the review screen's load.
    review::presetLastRunSupplier(ctx.session, *db);
    review::ReviewFilter filter = review::openReviewData(ctx.session, *db).filter;
    filter.selectedOnly = args.flag("selected");
    if (search) applySearch(filter, kind, args.positional().front());

    int pages = print::writeReportPdf(*pdf, ctx.session, *db, filter);
    std::cout << "Scritto " << *pdf << " (" << counted(pages, "pagina", "pagine") << ")\n";
    return kDone;
}

Registration reg{{"report",
                  "--pdf FILE [--selected] [--search KIND TEXT]",
                  "scrive in PDF la stampa \"CONTROLLO PRODOTTI\" della revisione "
                  "(KIND: description, code, supplier-code, subgroup, ean)",
                  {"pdf", "search"},
                  {"selected"},
                  runReport}};

}  // namespace
}  // namespace cl::cli
