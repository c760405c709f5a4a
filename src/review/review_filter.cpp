#include "review/review_filter.h"

#include "app/numbers.h"
#include "store/database.h"
#include "store/error.h"

namespace cl::review {

const std::string& reviewColumns() {
    // Each column keeps the name the grid and the exports show.
    static const std::string columns =
        "SELECT \"sel\" AS \"Sel\", \"codart\" AS \"CodArt\", \"ea1art\" AS \"Ean\", "
        "\"desart\" AS \"Descrizione\", \"umart\" AS \"UM\", \"desrep\" AS \"Reparto\", "
        "\"ivart\" AS \"Iva\", \"przvec\" AS \"CostoV\", \"perc\" AS \"MarV\", "
        "\"prezpub\" AS \"PrezzoV\", \"datagg\" AS \"Datagg\", \"coston\" AS \"CostoN\", "
        "\"rica\" AS \"MarN\", \"prezpubv\" AS \"PrezzoN\", \"percdiff\" AS \"Var\", "
        "\"offerta\" AS \"Stato\", \"codafo\" AS \"CodiceForn\", \"prezoff\" AS \"PrezOff\", "
        "\"fl1art\" AS \"Mod\", \"desgru\" AS \"Gruppo\", \"dessot\" AS \"Sottogruppo\", "
        "\"colli\", \"codrep\", \"codgru\", \"marchio\", \"imbart\", \"bns\", \"pezzatura\", "
        "\"umconf\", \"codfor\", \"codsot\", \"tipart\", \"variati\", \"modificatoamano\" "
        "FROM variatil ";
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

SqlText whereClause(const store::Database& db, const ReviewFilter& f) {
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
                conds.push_back(db.foldedLike("desart"));
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
                conds.push_back(db.foldedLike("codafo"));
                out.params.emplace_back(containsPattern(f.searchText));
                break;
            case SearchKind::Subgroup:
                conds.push_back(db.foldedLike("dessot"));
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

std::string orderClause(const store::Database& db, const ReviewFilter& f) {
    // Empty fields first and equal ones in the order they were written, on every engine: the
    // update walks this order and numbers the articles it creates along it.
    const std::string ties = ", " + db.rowIdentity();
    switch (f.sortBy.value_or(f.search)) {
        case SearchKind::Code:
            return " ORDER BY \"codart\" NULLS FIRST" + ties;
        case SearchKind::SupplierCode:
            return " ORDER BY \"codafo\" NULLS FIRST" + ties;
        case SearchKind::Subgroup:
            return " ORDER BY \"dessot\" NULLS FIRST, \"desart\" NULLS FIRST" + ties;
        case SearchKind::Ean:
            return " ORDER BY \"ea1art\" NULLS FIRST" + ties;
        case SearchKind::Description:
        case SearchKind::None:
            break;
    }
    return " ORDER BY \"desart\" NULLS FIRST" + ties;
}

SqlText reviewSource(const store::Database& db, const ReviewFilter& f) {
    SqlText where = whereClause(db, f);
    return {reviewColumns() + where.text + orderClause(db, f), where.params};
}

}  // namespace cl::review
