// The store look-ups of a check read ahead for a block of rows answer as the single look-ups do.
#include <gtest/gtest.h>

#include "check/store_lookups.h"
#include "store/fixed_text.h"
#include "support/temp_store.h"

namespace cl::check {
namespace {

std::string described(const std::optional<StoreBarcode>& b) {
    return b ? std::to_string(b->codare) + "/" + std::to_string(b->even) + "/" + b->flagean : "-";
}

std::string described(const std::optional<PriceRow>& p) {
    return p ? p->przpub.text() + "/" + p->desart + "/" + p->datagg.text() : "-";
}

TEST(ReadAhead, BarcodesAndPriceRowsAnswerAsTheSingleLookUps) {
    test::TempStore t;
    // Padded and bare forms of one code, letters in either case, many rows beyond one read.
    std::string barcodes =
        "('123', 1, 0, 'S'), ('123          ', 2, 0, 'S'), "
        "('4560         ', 3, 1, 's'), ('ABC1', 4, 2, 'S'), ('0', 0, 0, 'N')";
    std::string prices;
    for (int i = 1; i <= 300; ++i) {
        barcodes += ", ('80" + std::to_string(100000000 + i) + "0', " + std::to_string(i + 10) +
                    ", " + std::to_string(i % 3) + ", 'S')";
        if (i % 4)
            prices += std::string(prices.empty() ? "" : ", ") + "(" + std::to_string(i + 10) +
                      ", " + std::to_string(i) + ".5, 'ART " + std::to_string(i) + "', " +
                      (i % 5 ? "'2026-01-02'" : "NULL") + ")";
    }
    t.exec("INSERT INTO codean (eanare, codare, even, flagean) VALUES " + barcodes);
    t.exec("INSERT INTO listi01 (codart, przpub, desart, datagg) VALUES " + prices +
           ", (1, 9, 'UNO', NULL), (4, 4, 'QUATTRO', NULL)");
    auto db = t.session.openStore(true);

    std::vector<std::string> asked = {"123",   "123          ", " 123", "4560", "abc1",
                                      "ABC1 ", "999",           "",     "0"};
    for (int i = 1; i <= 300; i += 7) asked.push_back("80" + std::to_string(100000000 + i) + "0");
    std::vector<long long> codes = {1, 2, 3, 4, 0, 999};
    for (int i = 11; i <= 310; i += 3) codes.push_back(i);

    StoreLookups single(*db);
    std::vector<std::string> expected;
    for (const auto& ean : asked) expected.push_back(described(single.barcode(ean)));
    for (long long code : codes) expected.push_back(described(single.priceRow(code)));

    StoreLookups ahead(*db);
    ahead.readAheadBarcodes(asked);
    ahead.readAheadPriceRows(codes);
    // Nothing of what was read ahead may come from another statement: the tables are emptied.
    t.exec("DELETE FROM codean; DELETE FROM listi01");
    std::vector<std::string> got;
    for (const auto& ean : asked) got.push_back(described(ahead.barcode(ean)));
    for (long long code : codes) got.push_back(described(ahead.priceRow(code)));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(expected[0], "1/0/S");  // the bare form wins over the padded one
    EXPECT_EQ(expected[3], "3/1/s");
    EXPECT_EQ(expected[4], "4/2/S");

    // Once forgotten, the tables as they are now answer.
    ahead.forgetReadAhead();
    EXPECT_EQ(described(ahead.barcode("123")), "-");
    EXPECT_EQ(described(ahead.priceRow(1)), "-");
}

TEST(ReadAhead, SupplierListCodesAnswerAsTheSingleLookUps) {
    test::TempStore t;
    // Codes in either case, a code listed twice (the older row wins), one of another list.
    std::string rows =
        "('000001', 'AB12', 7), ('000001', 'ab12', 8), ('000002', 'X9', 9), "
        "('000001', 'X9 ', 10), ('000001', 'NUL', NULL)";
    for (int i = 1; i <= 300; ++i)
        rows += ", ('000001', '" + std::to_string(900000000 + i) + "', " + std::to_string(i) + ")";
    t.exec("INSERT INTO listi02 (codlis, codafo, codart) VALUES " + rows);
    auto db = t.session.openStore(true);

    std::vector<std::string> asked = {"AB12", "ab12", "X9", "X9 ", "x9 ", "nul", "", "none"};
    for (int i = 1; i <= 300; i += 3) asked.push_back(std::to_string(900000000 + i));
    auto described = [](const std::optional<long long>& a) {
        return a ? std::to_string(*a) : std::string("-");
    };
    StoreLookups single(*db);
    std::vector<std::string> expected;
    for (const auto& code : asked)
        expected.push_back(described(single.supplierListArticle(code, "000001")));

    StoreLookups ahead(*db);
    ahead.readAheadSupplierArticles(asked, "000001");
    t.exec("DELETE FROM listi02");
    std::vector<std::string> got;
    for (const auto& code : asked)
        got.push_back(described(ahead.supplierListArticle(code, "000001")));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(expected[0], "7");
    EXPECT_EQ(expected[2], "-");  // "X9" is listed under another list only
    EXPECT_EQ(expected[3], "10");
    // Another list is never answered from what was read for this one.
    EXPECT_EQ(described(ahead.supplierListArticle("X9", "000002")), "-");
}

TEST(ReadAhead, SupplierFileCodesAndCentralBarcodesAnswerAsTheSingleLookUps) {
    test::TempStore t;
    // A code stored as written and padded (as written wins), one only padded, one in another
    // case; central articles with and without barcodes.
    t.exec(
        "INSERT INTO listi02 (codlis, codafo, codart) VALUES ('000001', 'K1              ', 1), "
        "('000001', 'K1', 2), ('000001', 'K2              ', 3), ('000001', 'k3', 4), "
        "('000002', 'K4', 5)");
    t.execFixed(
        "INSERT INTO codean (eanare, codare) VALUES ('8000000000017', 10), "
        "('8000000000024', 12), ('8000000000031', 12)");
    auto db = t.session.openStore(true);
    const std::vector<std::string> codes = {"K1", "K2", "K3", "K4", "K5", "K1              "};
    const std::vector<long long> articles = {10, 11, 12, 13};
    auto answers = [&](StoreLookups& l) {
        std::string out;
        for (const auto& c : codes) {
            auto a = l.supplierListCode(c, "000001");
            out += (a ? std::to_string(*a) : "-") + ",";
        }
        for (long long a : articles) out += l.centralHasBarcode(a) ? "B," : "-,";
        return out;
    };
    StoreLookups single(*db);
    const std::string expected = answers(single);
    EXPECT_EQ(expected, "2,3,4,-,-,1,B,-,B,-,");

    StoreLookups ahead(*db);
    ahead.readAheadSupplierCodes(codes, "000001");
    ahead.readAheadCentralBarcodes(articles);
    t.exec("DELETE FROM listi02");
    t.execFixed("DELETE FROM codean");
    EXPECT_EQ(answers(ahead), expected);
}

}  // namespace
}  // namespace cl::check
