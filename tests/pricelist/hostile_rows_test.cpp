// Supplier files made the way spreadsheets and suppliers make them: every row that cannot be
// read with certainty is left out and listed, a file that cannot be read as a whole is refused.
#include <gtest/gtest.h>

#include "pricelist/price_list.h"
#include "store/error.h"
#include "support/refusal.h"

namespace cl::pricelist {
namespace {

PriceList rowsOf(const std::string& text, const std::optional<std::string>& columns = {}) {
    Sheet s = readPriceListBytes(text);
    return extractRows(s, columnsFor(s, columns));
}

std::vector<std::string> listed(const PriceList& l) {
    std::vector<std::string> out;
    for (const auto& p : l.problems) out.push_back(problemLine(p));
    return out;
}

TEST(HostileRows, OnlyBarcodesWithTheRightCheckDigitAreEans) {
    auto l = rowsOf(
        "EAN;Codice;Costo\n"
        "8001234567897;A1;1,00\n"   // right
        "8001234567890;A2;1,00\n"   // wrong check digit
        "80012345678;A3;1,00\n"     // 11 digits
        "8.01235E+12;A4;1,00\n"     // written by a spreadsheet
        "96385074;A5;1,00\n"        // EAN-8
        "036000291452;A6;1,00\n"    // UPC-A
        "08009876543217;A7;1,00\n"  // GTIN-14 of an EAN-13
        "18001234567894;A8;1,00\n"  // a carton's GTIN-14
        "8001234567890;;1,00\n");   // wrong and no code: nothing to seek it by
    ASSERT_EQ(l.rows.size(), 8u);
    std::vector<std::string> eans;
    for (const auto& r : l.rows) eans.push_back(r.ean);
    EXPECT_EQ(eans, (std::vector<std::string>{"8001234567897", "", "", "", "96385074",
                                              "036000291452", "8009876543217", ""}));
    const std::vector<std::string> expected = {
        "Riga 3: EAN non valido «8001234567890» (cifre o cifra di controllo): cercato per codice",
        "Riga 4: EAN non valido «80012345678» (cifre o cifra di controllo): cercato per codice",
        "Riga 5: EAN non valido «8.01235E+12» (cifre o cifra di controllo): cercato per codice",
        "Riga 9: EAN non valido «18001234567894» (cifre o cifra di controllo): cercato per codice",
        "Riga 10: EAN non valido «8001234567890» (cifre o cifra di controllo) (non controllata)"};
    EXPECT_EQ(listed(l), expected);
}

}  // namespace
}  // namespace cl::pricelist

namespace cl::pricelist {
namespace {

TEST(HostileRows, RowsSplitIntoOtherFieldsThanTheHeadingAreListed) {
    // A "," file with one decimal comma unquoted: cost 1 and VAT 25 if read as it falls.
    auto l = rowsOf(
        "Codice,Costo,IVA\n"
        "A1,1.50,22\n"
        "A2,1,25,22\n"
        "A3,2.00\n"
        "A4,3.00,10,\n");  // a trailing empty field is no harm
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(l.rows[0].code, "A1");
    EXPECT_EQ(l.rows[1].code, "A4");
    const std::vector<std::string> expected = {
        "Riga 3: la riga ha 4 campi, l'intestazione 3 (separatore «,» dentro un valore?) (non "
        "controllata)",
        "Riga 4: la riga ha 2 campi, l'intestazione 3 (separatore «,» dentro un valore?) (non "
        "controllata)"};
    EXPECT_EQ(listed(l), expected);

    auto most =
        test::refusal([] { rowsOf("Codice,Costo,IVA\nA1,1,50,22\nA2,2,00,22\nA3,3.00,22\n"); });
    EXPECT_NE(most.message.find("separatore"), std::string::npos) << most.message;
}

TEST(HostileRows, AnUnbalancedQuoteRefusesTheFileNamingItsLine) {
    auto r = test::refusal([] {
        rowsOf("Codice;Descrizione;Costo\nA1;PASTA;1,00\nA2;\"BISCOTTI;2,00\nA3;OLIO;3,00\n");
    });
    EXPECT_EQ(r.kind, ErrorKind::InvalidInput);
    EXPECT_NE(r.message.find("Virgolette non chiuse"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("riga 3"), std::string::npos) << r.message;
}

TEST(HostileRows, OneColumnPerFieldAndOneFieldPerColumn) {
    EXPECT_THROW(parseColumnSpec("cost=D,cost=E,code=A"), Error);
    EXPECT_THROW(parseColumnSpec("cost=D,price=d,code=A"), Error);
    EXPECT_THROW(parseColumnSpec("cost=Netto,price=netto,code=A"), Error);
    EXPECT_NO_THROW(parseColumnSpec("cost=D,price=E,code=A"));
    // A heading and the letter of the same column.
    Sheet s = readPriceListBytes("Codice;Netto\nA1;1,00\n");
    EXPECT_THROW(columnsFor(s, "code=A,cost=Netto,price=B"), Error);
}

}  // namespace
}  // namespace cl::pricelist

namespace cl::pricelist {
namespace {

TEST(HostileRows, AVatRateThatDoesNotReadIsLeftToTheStoreOneThatIsNotItalianIsListed) {
    auto l = rowsOf(
        "Codice;Costo;IVA\n"
        "A1;1,00;esente\n"
        "A2;1,00;IVA 22\n"
        "A3;1,00;\n"
        "A4;1,00;7\n"
        "A5;1,00;22%\n"
        "A6;1,00;0\n");
    ASSERT_EQ(l.rows.size(), 5u);
    EXPECT_FALSE(l.rows[0].vat);
    EXPECT_FALSE(l.rows[1].vat);
    EXPECT_FALSE(l.rows[2].vat);
    EXPECT_EQ(l.rows[3].vat, "22");
    EXPECT_EQ(l.rows[4].vat, "0");
    const std::vector<std::string> expected = {
        "Riga 2: aliquota IVA non leggibile «esente»: si usa quella dell'articolo del negozio",
        "Riga 3: aliquota IVA non leggibile «IVA 22»: si usa quella dell'articolo del negozio",
        "Riga 5: aliquota IVA «7» non italiana (0, 4, 5, 10, 22) (non controllata)"};
    EXPECT_EQ(listed(l), expected);
}

}  // namespace
}  // namespace cl::pricelist

namespace cl::pricelist {
namespace {

TEST(HostileRows, TwoRowsOfOneArticleThatDisagreeAreBothListed) {
    auto l = rowsOf(
        "EAN;Codice;Costo\n"
        "8001234567897;A1;1,00\n"
        "8009876543217;B1;2,00\n"
        "8001234567897;A9;7,24\n"  // same EAN, +624 %
        ";B1;2,00\n"               // the same code, the same cost: checked once
        ";C1;3,00\n");
    std::vector<std::string> codes;
    for (const auto& r : l.rows) codes.push_back(r.code);
    EXPECT_EQ(codes, (std::vector<std::string>{"B1", "C1"}));
    const std::vector<std::string> expected = {
        "Riga 2: EAN «8001234567897» anche alla riga 4 con altri valori (non controllata)",
        "Riga 4: EAN «8001234567897» anche alla riga 2 con altri valori (non controllata)",
        "Riga 5: ripete la riga 3 (non controllata)"};
    EXPECT_EQ(listed(l), expected);
}

}  // namespace
}  // namespace cl::pricelist

namespace cl::pricelist {
namespace {

PriceList rowsWithDecimal(const std::string& text, NumberStyle decimal) {
    Sheet s = readPriceListBytes(text);
    ColumnMap map = columnsFor(s, std::nullopt);
    map.decimal = decimal;
    return extractRows(s, map);
}

TEST(HostileRows, AmountsThatAllReadTwoWaysAreNotGuessed) {
    const std::string file = "Codice;Costo\nA1;1.250\nA2;2.750\nA3;3\n";
    auto r = test::refusal([&] { rowsOf(file); });
    EXPECT_EQ(r.kind, ErrorKind::InvalidInput);
    EXPECT_NE(r.message.find("\"Costo\" si leggono in due modi («1.250»: 1250 o 1,25)"),
              std::string::npos)
        << r.message;
    EXPECT_NE(r.message.find("--decimal"), std::string::npos);
    EXPECT_DOUBLE_EQ(rowsWithDecimal(file, NumberStyle::Italian).rows[0].cost, 1250);
    EXPECT_DOUBLE_EQ(rowsWithDecimal(file, NumberStyle::Plain).rows[1].cost, 2.75);
    // One amount that tells ("0,50") decides the column.
    EXPECT_DOUBLE_EQ(rowsOf("Codice;Costo\nA1;1.250\nA2;0,50\n").rows[0].cost, 1250);
}

}  // namespace
}  // namespace cl::pricelist

namespace cl::pricelist {
namespace {

TEST(HostileRows, AMessageQuotesAtMost80CharactersOfACell) {
    const std::string huge(1 << 20, 'X');
    auto l = rowsOf("Codice;Costo\nA1;" + huge + "\n");
    ASSERT_EQ(l.problems.size(), 1u);
    EXPECT_EQ(problemLine(l.problems[0]),
              "Riga 2: costo non leggibile «" + std::string(80, 'X') + "…» (non controllata)");
    EXPECT_EQ(cellQuote("caffè"), "«caffè»");
    EXPECT_EQ(cellQuote(std::string(79, 'a') + "èè"), "«" + std::string(79, 'a') + "è…»");
}

}  // namespace
}  // namespace cl::pricelist
