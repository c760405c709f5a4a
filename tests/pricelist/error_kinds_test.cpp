// A damaged price-list file is told apart from one we refuse and from one that is not there,
// by kind; the Italian text stays what the operator reads.
#include <gtest/gtest.h>

#include <functional>

#include "pricelist/columns.h"
#include "pricelist/price_list.h"
#include "store/error.h"
#include "support/refusal.h"
#include "support/temp_dir.h"

namespace cl::pricelist {
namespace {

using test::Refusal;
using test::refusal;

Refusal fromBytes(const std::string& bytes) {
    return refusal([&] {
        Sheet s = readPriceListBytes(bytes);
        columnsFor(s, std::nullopt);
    });
}

TEST(PriceListErrorKinds, DamagedRefusedAndMissingFiles) {
    auto damaged = fromBytes("PK\x03\x04 broken");
    EXPECT_NE(damaged.message.find("danneggiato"), std::string::npos);
    EXPECT_EQ(damaged.kind, ErrorKind::Corrupt);

    // Files that are whole but not a price list we read: the operator must supply another.
    const std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    for (const std::string& bytes :
         {std::string(), ole + std::string(600, '\0'), std::string("%PDF-1.4 ..."),
          std::string("\x01\x02\0\x03", 4), std::string("Nome;Prezzo\nA;1\n")}) {
        auto r = fromBytes(bytes);
        EXPECT_NE(r.message, test::kNoRefusal);
        EXPECT_EQ(r.kind, ErrorKind::InvalidInput) << r.message;
    }
    auto sheet = refusal([] { readPriceListBytes("Codice;Costo\nA;1\n", 2); });
    EXPECT_NE(sheet.message.find("--sheet vale solo per i file .xlsx"), std::string::npos);
    EXPECT_EQ(sheet.kind, ErrorKind::InvalidInput);

    test::TempDir dir;
    auto missing = dir.path / "manca.csv";
    auto absent = refusal([&] { readPriceListFile(missing); });
    EXPECT_EQ(absent.message, "Impossibile aprire il file " + missing.string() + ".");
    EXPECT_EQ(absent.kind, ErrorKind::NotFound);
}

TEST(PriceListErrorKinds, ColumnsTheOperatorNamesWronglyAreInvalidInput) {
    for (const char* spec : {"cost", "prezzo=C", "cost="}) {
        auto r = refusal([&] { parseColumnSpec(spec); });
        EXPECT_EQ(r.message.rfind("--columns: ", 0), 0u) << r.message;
        EXPECT_EQ(r.kind, ErrorKind::InvalidInput) << spec;
    }
    Sheet s = readPriceListBytes("Codice;Costo\nA;1\n");
    auto unknown = refusal([&] { columnsFor(s, std::string("cost=Netto,code=Codice")); });
    EXPECT_EQ(unknown.message, "La colonna «Netto» non è tra le intestazioni del file.");
    EXPECT_EQ(unknown.kind, ErrorKind::InvalidInput);
    Sheet noCostHeading = readPriceListBytes("Codice;Importo\nA;1\n");
    auto noCost = refusal([&] { columnsFor(noCostHeading, std::string("code=Codice")); });
    EXPECT_EQ(noCost.message, "Manca la colonna del costo: indicarla (cost=...).");
    EXPECT_EQ(noCost.kind, ErrorKind::InvalidInput);
}

}  // namespace
}  // namespace cl::pricelist
