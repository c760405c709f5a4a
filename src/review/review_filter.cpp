#include "review/review_filter.h"

#include "app/numbers.h"
#include "store/error.h"
#include "store/text_fold.h"

namespace cl::review {

const std::string& reviewColumns() {
    static const std::string columns =
        std::string("SELECT [Sel],[CodArt],[ea1art] as Ean,[desart] as Descrizione, ") +
        " [umart] as UM,[desrep] as Reparto,[ivart] as Iva,[Przvec] as CostoV, " +
        " [Perc] As MarV, [Prezpub] As PrezzoV,[Datagg], " +
        " [CostoN] ,[rica] as MarN, [Prezpubv] As PrezzoN, " +
        " [percdiff] as Var,[Offerta] as Stato,[codafo] as CodiceForn,[PrezOff],[fl1art] as "
        "Mod,[desgru] As Gruppo,[dessot] as Sottogruppo,[colli],[codrep],[codgru]," +
        " [marchio],[imbart],[bns],[pezzatura],[umconf],[codfor],[codsot],[tipart],[variati],["
        "modificatoamano] FROM variatil ";
    return columns;
}

std::string containsPattern(const std::string& text) {
    std::string out = "%";
    for (char c : text) {
        if (c == '%' || c == '_' || c == '\\') out += '\\';
        out += c;
    }
    return out + "%";
}

SqlText whereClause(const ReviewFilter& f) {
    std::vector<std::string> conds;
    SqlText out;
    if (f.ean) {
        if (!f.ean->empty()) {
            conds.push_back("ea1art LIKE ? ESCAPE '\\'");
            out.params.emplace_back(containsPattern(*f.ean));
        }
    } else if (f.supplier) {
        conds.push_back("codfor = ?");
        out.params.emplace_back(static_cast<long long>(*f.supplier));
    }
    if (f.selectedOnly) conds.push_back("sel = 'X'");
    if (f.changedOnly) conds.push_back("variati = 'V'");
    if (!f.searchText.empty()) {
        switch (f.search) {
            case SearchKind::Description:
                conds.push_back(store::foldedLike("desart"));
                out.params.emplace_back(containsPattern(f.searchText));
                break;
            case SearchKind::Code: {
                auto n = wholeNumber(f.searchText);
                if (!n)
                    throw Error("Attenzione ... Il codice \"" + f.searchText +
                                    "\" non è un numero intero valido.",
                                ErrorKind::InvalidInput);
                conds.push_back("codart = ?");
                out.params.emplace_back(*n);
                break;
            }
            case SearchKind::SupplierCode:
                conds.push_back(store::foldedLike("codafo"));
                out.params.emplace_back(containsPattern(f.searchText));
                break;
            case SearchKind::Subgroup:
                conds.push_back(store::foldedLike("dessot"));
                out.params.emplace_back(containsPattern(f.searchText));
                break;
            case SearchKind::Ean:
            case SearchKind::None:
                break;
        }
    }
    for (size_t i = 0; i < conds.size(); ++i) out.text += (i ? " AND " : " WHERE ") + conds[i];
    return out;
}

std::string orderClause(const ReviewFilter& f) {
    switch (f.sortBy.value_or(f.search)) {
        case SearchKind::Code:
            return " ORDER BY [codart]";
        case SearchKind::SupplierCode:
            return " ORDER BY [codafo]";
        case SearchKind::Subgroup:
            return " ORDER BY [dessot],[desart]";
        case SearchKind::Ean:
            return " ORDER BY [ea1art]";
        case SearchKind::Description:
        case SearchKind::None:
            break;
    }
    return " ORDER BY [desart]";
}

SqlText reviewSource(const ReviewFilter& f) {
    SqlText where = whereClause(f);
    return {reviewColumns() + where.text + orderClause(f), where.params};
}

}  // namespace cl::review
