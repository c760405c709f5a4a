#pragma once
#include "history/labels.h"
#include "store/database.h"

namespace cl::history {

// The article fields a label shows, in this order, from a listi01 row or its journaled image.
inline constexpr const char* kLabelFields =
    "codart, desart, przpub, quaco, umquaco, przsal, umart, codrep, desrep";

// Turns a row of kLabelFields into a label: the primary barcode and the prices per reference
// unit are looked up in the store.
class LabelReader {
  public:
    explicit LabelReader(store::Database& db);
    // The fields of kLabelFields from column `first` on.
    Label read(store::Query& st, int first);
    // The prices per reference unit of the label's prices, for a content and its unit.
    void unitPrices(Label& l, double content, const std::string& contentUnit);

  private:
    store::Query ean_;
    store::Query unit_;
};

}  // namespace cl::history
