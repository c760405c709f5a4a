#include <gtest/gtest.h>

#include <filesystem>

#include "pricelist/amounts.h"
#include "pricelist/csv_sheet.h"
#include "pricelist/price_list.h"
#include "pricelist/text_encoding.h"
#include "store/error.h"

namespace cl::pricelist {
namespace {

std::filesystem::path fixture(const std::string& name) {
    return std::filesystem::path(CL_SOURCE_DIR) / "tests" / "pricelist" / "fixtures" / name;
}

PriceList readFixture(const std::string& name, Sheet* sheetOut = nullptr) {
    Sheet s = readPriceListFile(fixture(name));
    if (sheetOut) *sheetOut = s;
    return extractRows(s, columnsFor(s, std::nullopt));
}

const PriceListRow& byCode(const PriceList& l, const std::string& code) {
    for (const auto& r : l.rows)
        if (r.code == code) return r;
    throw std::runtime_error("no row " + code);
}

TEST(CsvFixtures, ItalianWithBomSemicolonsAndHeadingBelowATitle) {
    Sheet s;
    PriceList l = readFixture("italiano_bom.csv", &s);
    EXPECT_EQ(s.delimiter, ';');
    ASSERT_EQ(l.rows.size(), 3u);
    const auto& pasta = byCode(l, "R-001");
    EXPECT_EQ(pasta.line, 5);
    EXPECT_EQ(pasta.ean, "8001234567897");
    EXPECT_EQ(pasta.description, "PASTA DI SEMOLA; 500 g");
    EXPECT_DOUBLE_EQ(pasta.cost, 1234.56);
    EXPECT_EQ(pasta.vat, "22");
    EXPECT_FALSE(pasta.price);
    const auto& biscotti = byCode(l, "R-002");
    EXPECT_EQ(biscotti.description, "BISCOTTI \"FROLLINI\"");
    EXPECT_DOUBLE_EQ(biscotti.cost, 0.70);
    EXPECT_DOUBLE_EQ(*biscotti.price, 1.29);
    const auto& olio = byCode(l, "R-003");
    EXPECT_EQ(olio.ean, "");
    EXPECT_DOUBLE_EQ(olio.cost, 12.5);
    EXPECT_EQ(olio.vat, "22");
    EXPECT_DOUBLE_EQ(*olio.price, 9.90);
    // The two rows that cannot be checked, with their lines and reasons.
    ASSERT_EQ(l.problems.size(), 2u);
    EXPECT_EQ(problemLine(l.problems[0]), "Riga 8: manca il costo (non controllata)");
    EXPECT_EQ(problemLine(l.problems[1]),
              "Riga 9: mancano codice fornitore ed EAN (non controllata)");
    EXPECT_EQ(l.notChecked(), 2);
}

// The command line reads a CSV as a stream, the window as a sheet: the same rows either way.
TEST(CsvFixtures, StreamedAsTheSheetIs) {
    for (const char* name : {"italiano_bom.csv", "plain_comma.csv", "windows1252.csv"}) {
        PriceList sheet = readFixture(name);
        PriceList streamed = readPriceListRows(fixture(name), std::nullopt, std::nullopt);
        ASSERT_EQ(streamed.rows.size(), sheet.rows.size()) << name;
        for (size_t i = 0; i < sheet.rows.size(); ++i) {
            EXPECT_EQ(streamed.rows[i].line, sheet.rows[i].line);
            EXPECT_EQ(streamed.rows[i].code, sheet.rows[i].code);
            EXPECT_EQ(streamed.rows[i].cost, sheet.rows[i].cost);
            EXPECT_EQ(streamed.rows[i].vat, sheet.rows[i].vat);
        }
        std::vector<std::string> a, b;
        for (const auto& p : sheet.problems) a.push_back(problemLine(p));
        for (const auto& p : streamed.problems) b.push_back(problemLine(p));
        EXPECT_EQ(a, b) << name;
    }
}

TEST(CsvFixtures, PlainNumbersWithCommasAndCrLf) {
    Sheet s;
    PriceList l = readFixture("plain_comma.csv", &s);
    EXPECT_EQ(s.delimiter, ',');
    ASSERT_EQ(l.rows.size(), 3u);
    EXPECT_EQ(byCode(l, "R-001").description, "PASTA, SEMOLA 500 g");
    EXPECT_DOUBLE_EQ(byCode(l, "R-001").cost, 1234.56);
    EXPECT_DOUBLE_EQ(*byCode(l, "R-002").price, 1.29);
    EXPECT_EQ(byCode(l, "R-003").description, "OLIO \"EXTRA\" 1 L");
    EXPECT_TRUE(l.problems.empty());
}

TEST(CsvFixtures, Windows1252WithEuroSignAndThousands) {
    PriceList l = readFixture("windows1252.csv");
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(l.rows[0].code, "Cà-1");
    EXPECT_EQ(l.rows[0].description, "CAFFÈ MACINATO");
    EXPECT_DOUBLE_EQ(l.rows[0].cost, 2.50);
    EXPECT_EQ(l.rows[0].unit, "PZ");
    EXPECT_EQ(l.rows[0].pack, 6);
    // "1.234" in a column of Italian amounts is a thousand and more, not one and a bit.
    EXPECT_DOUBLE_EQ(l.rows[1].cost, 1234);
    EXPECT_EQ(l.rows[1].description, "TÈ VERDE \"BIO\"");
    EXPECT_EQ(l.rows[1].vat, "10");
}

TEST(Encoding, BomUtf16AndWindows1252) {
    EXPECT_EQ(toUtf8("\xEF\xBB\xBF"
                     "caff\xC3\xA8"),
              "caffè");
    EXPECT_EQ(toUtf8("caff\xE8 \x80"), "caffè €");
    EXPECT_EQ(toUtf8(std::string("\xFF\xFE"
                                 "a\0;\0\xAC\x20",
                                 8)),
              "a;€");
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));  // overlong
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));  // cut short
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x8D\x95"));
}

TEST(Amounts, ItalianAndPlainWritings) {
    using S = NumberStyle;
    struct Case {
        const char* text;
        S style;
        std::optional<double> value;
    } cases[] = {
        {"1.234,56", S::Plain, 1234.56},
        {"1,234.56", S::Italian, 1234.56},
        {"1234,56", S::Italian, 1234.56},
        {"1234.56", S::Italian, 1234.56},
        {"1.234", S::Italian, 1234},
        {"1.234", S::Plain, 1.234},
        {"1,234", S::Plain, 1234},
        {"1,234", S::Italian, 1.234},
        {"0.345", S::Italian, 0.345},
        {" € 12,50 ", S::Italian, 12.5},
        {"12,50 €", S::Italian, 12.5},
        {"EUR 3", S::Plain, 3},
        {"-1,5", S::Italian, -1.5},
        {"1 234,56", S::Italian, 1234.56},
        {"1\xC2\xA0"
         "234,56",
         S::Italian, 1234.56},
        {"1.234.567", S::Italian, 1234567},
        {",5", S::Italian, 0.5},
        {"abc", S::Italian, std::nullopt},
        {"12 kg", S::Italian, std::nullopt},
        {"", S::Italian, std::nullopt},
        {"€", S::Italian, std::nullopt},
        {"1,2,3.4,5", S::Plain, std::nullopt},
        {"--1", S::Plain, std::nullopt},
        {"8,00123E+12", S::Italian, std::nullopt},
    };
    for (const auto& c : cases) {
        auto v = readAmount(std::string(c.text), c.style);
        ASSERT_EQ(v.has_value(), c.value.has_value()) << c.text;
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.value) << c.text;
        }
    }
    Cell a{"1,5", {}}, b{"2.000", {}}, c{"3.25", {}};
    EXPECT_EQ(columnStyle({&a, &b}, NumberStyle::Plain), NumberStyle::Italian);
    EXPECT_EQ(columnStyle({&b}, NumberStyle::Plain), NumberStyle::Plain);
    EXPECT_EQ(columnStyle({&c, &b}, NumberStyle::Italian), NumberStyle::Plain);
}

TEST(Delimiter, QuotedFieldsDoNotCount) {
    EXPECT_EQ(detectDelimiter("a;b;c\n1;\"x, y, z\";2\n"), ';');
    EXPECT_EQ(detectDelimiter("a,b,c\n1,\"x; y; z\",2\n"), ',');
    EXPECT_EQ(detectDelimiter("a\tb\tc\n1\t2,5\t3\n"), '\t');
    // A quoted line end stays in its field, and the next row keeps its own line number.
    Sheet s = readCsv("codice;costo\n\"A\nB\";1\nC;2\n");
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.rows[1].cells[0].text, "A\nB");
    EXPECT_EQ(s.rows[2].line, 4);
}

Sheet csv(const std::string& text) {
    return readPriceListBytes(text);
}

TEST(Columns, HeadingsInItalianAndEnglish) {
    auto map = columnsFor(csv("Barcode;Codice fornitore;Prezzo acquisto;Aliquota IVA;PVP;U.M.;"
                              "Imballo;Descrizione\n1;2;3;4;5;6;7;8\n"),
                          std::nullopt);
    EXPECT_EQ(map[Field::Ean], 0u);
    EXPECT_EQ(map[Field::Code], 1u);
    EXPECT_EQ(map[Field::Cost], 2u);
    EXPECT_EQ(map[Field::Vat], 3u);
    EXPECT_EQ(map[Field::Price], 4u);
    EXPECT_EQ(map[Field::Unit], 5u);
    EXPECT_EQ(map[Field::Pack], 6u);
    EXPECT_EQ(map[Field::Description], 7u);
    auto en = columnsFor(csv("Item code,Description,Net price,VAT,Retail price\n1,2,3,4,5\n"),
                         std::nullopt);
    EXPECT_EQ(en[Field::Code], 0u);
    EXPECT_EQ(en[Field::Cost], 2u);
    EXPECT_EQ(en[Field::Price], 4u);
    // "Codice EAN" is the barcode, not the code; "Netto" alone is the cost.
    auto mixed = columnsFor(csv("Codice EAN;Netto\n1;2\n"), std::nullopt);
    EXPECT_EQ(mixed[Field::Ean], 0u);
    EXPECT_FALSE(mixed[Field::Code]);
    EXPECT_EQ(mixed[Field::Cost], 1u);
}

TEST(Columns, GivenByLettersOrHeadingsTheRestGuessed) {
    Sheet s = csv("Articolo;Netto unitario;IVA;UM\nA1;1,50;22;PZ\n");
    // No heading names the code or the cost: only --columns places them.
    EXPECT_THROW(columnsFor(s, std::nullopt), Error);
    auto map = columnsFor(s, "code=A,cost=Netto unitario");
    EXPECT_EQ(map[Field::Code], 0u);
    EXPECT_EQ(map[Field::Cost], 1u);
    EXPECT_EQ(map[Field::Vat], 2u);
    EXPECT_EQ(map[Field::Unit], 3u);  // "UM" is a heading here, guessed
    EXPECT_EQ(map.headingRow, 0u);
    auto rows = extractRows(s, map);
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_DOUBLE_EQ(rows.rows[0].cost, 1.5);
    // A heading given by name that the file does not have, and a map without a cost.
    EXPECT_THROW(columnsFor(s, "code=A,cost=Costo netto"), Error);
    EXPECT_THROW(columnsFor(s, "code=A"), Error);
    EXPECT_THROW(parseColumnSpec("colour=A"), Error);
    EXPECT_THROW(parseColumnSpec("cost"), Error);
    // Letters only, on a file without headings: every row is data.
    auto bare = csv("A1;1,50\nA2;2,00\n");
    auto letters = columnsFor(bare, "code=A,cost=b");
    EXPECT_FALSE(letters.headingRow);
    EXPECT_EQ(extractRows(bare, letters).rows.size(), 2u);
}

TEST(Rows, ValuesThatCannotBeUsedAreListedWithTheirLine) {
    Sheet s =
        csv("EAN;Codice;Costo;IVA;Prezzo vendita;Pezzi\n"
            "0001234567895;;1,00;22;;\n"      // internal code, nothing else
            "8,00123E+12;X1;1,00;22;;\n"      // EAN spoilt by a spreadsheet: sought by code
            ";ABCDEFGHIJKLMNOPQ;1,00;22;;\n"  // 17 characters
            ";X2;-1,00;22;;\n"                // negative cost
            ";X3;1,00;0,04;n.d.;1,5\n"        // VAT as a fraction; price and pack unusable
            ";X4;1,00;5,5;;\n");              // no such VAT rate
    auto l = extractRows(s, columnsFor(s, std::nullopt));
    std::vector<std::string> lines;
    for (const auto& p : l.problems) lines.push_back(problemLine(p));
    std::vector<std::string> expected = {
        "Riga 2: EAN «0001234567895» di un codice interno (inizia con 000) (non controllata)",
        "Riga 3: EAN non valido «8,00123E+12» (cifre o cifra di controllo): cercato per codice",
        "Riga 4: codice fornitore più lungo di 16 caratteri (non controllata)",
        "Riga 5: costo non valido «-1,00» (non controllata)",
        "Riga 6: prezzo di vendita non valido «n.d.»: ignorato",
        "Riga 6: confezione non valida «1,5»: ignorata",
        "Riga 7: aliquota IVA «5,5» non italiana (0, 4, 5, 10, 22) (non controllata)",
    };
    EXPECT_EQ(lines, expected);
    ASSERT_EQ(l.rows.size(), 2u);
    EXPECT_EQ(l.rows[0].code, "X1");
    EXPECT_EQ(l.rows[0].ean, "");
    EXPECT_EQ(l.rows[1].vat, "4");
    EXPECT_FALSE(l.rows[1].price);
}

TEST(UnreadableFiles, StopWithTheReason) {
    auto message = [](const std::string& bytes) {
        try {
            Sheet s = readPriceListBytes(bytes);
            columnsFor(s, std::nullopt);
        } catch (const Error& e) {
            return std::string(e.what());
        }
        return std::string("letto");
    };
    EXPECT_EQ(message(""), "Il file è vuoto.");
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    EXPECT_NE(message(ole + std::string(600, '\0')).find("97-2003"), std::string::npos);
    std::string encrypted = ole + std::string("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    EXPECT_NE(message(encrypted).find("protetto da password"), std::string::npos);
    EXPECT_NE(message("%PDF-1.4 ...").find("PDF"), std::string::npos);
    EXPECT_NE(message(std::string("\x01\x02\0\x03", 4)).find("non riconosciuto"),
              std::string::npos);
    EXPECT_NE(message("PK\x03\x04 broken").find("danneggiato"), std::string::npos);
    EXPECT_NE(message("Nome;Prezzo\nA;1\n").find("intestazione non trovata"), std::string::npos);
    EXPECT_THROW(readPriceListBytes("Codice;Costo\nA;1\n", 2), Error);
}

}  // namespace
}  // namespace cl::pricelist
