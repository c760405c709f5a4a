#include <gtest/gtest.h>

#include <set>

#include "labels/barcode.h"
#include "labels/label_face.h"
#include "labels/label_layouts.h"
#include "store/error.h"

namespace cl::labels {
namespace {

TEST(LabelLayouts, SheetsHoldTheirLabelsInsideThePageWithoutOverlap) {
    struct Expect {
        const char* name;
        int perPage;
        double w, h;
    };
    for (auto e : {Expect{"a4-3x8", 24, 70, 37}, Expect{"a4-2x7", 14, 105, 42},
                   Expect{"rotolo-58", 1, 58, 40}}) {
        SCOPED_TRACE(e.name);
        const LabelLayout& l = findLayout(e.name);
        EXPECT_EQ(l.perPage(), e.perPage);
        EXPECT_EQ(l.labelWidth, e.w);
        EXPECT_EQ(l.labelHeight, e.h);
        auto slots = placeLabels(l, static_cast<size_t>(e.perPage), 1);
        ASSERT_EQ(slots.size(), static_cast<size_t>(e.perPage));
        std::set<std::pair<double, double>> corners;
        for (const auto& s : slots) {
            EXPECT_EQ(s.page, 0);
            EXPECT_GE(s.x, 0);
            EXPECT_GE(s.y, 0);
            EXPECT_LE(s.x + l.labelWidth, l.pageWidth + 1e-9);
            EXPECT_LE(s.y + l.labelHeight, l.pageHeight + 1e-9);
            corners.insert({s.x, s.y});
        }
        EXPECT_EQ(corners.size(), slots.size());
    }
    EXPECT_TRUE(findLayout("elenco").table);
    try {
        findLayout("a5");
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("a4-3x8, a4-2x7, rotolo-58, elenco"),
                  std::string::npos);
        EXPECT_EQ(e.kind(), ErrorKind::InvalidInput);  // the command line's usage error
    }
}

TEST(LabelLayouts, CopiesFollowEachOtherAndBreakPages) {
    const LabelLayout& l = findLayout("a4-3x8");
    // 10 articles x 3 copies = 30 labels: a full page of 24 and 6 on the second.
    auto slots = placeLabels(l, 10, 3);
    ASSERT_EQ(slots.size(), 30u);
    EXPECT_EQ(pageCount(l, 10, 3), 2);
    EXPECT_EQ(slots[0].label, 0u);
    EXPECT_EQ(slots[2].label, 0u);
    EXPECT_EQ(slots[3].label, 1u);
    EXPECT_EQ(slots[23].page, 0);
    EXPECT_EQ(slots[24].page, 1);
    EXPECT_EQ(slots[24].label, 8u);
    // The second page starts again at the top-left corner; row 2, column 3 is at 140 / 74.5.
    EXPECT_EQ(slots[24].x, slots[0].x);
    EXPECT_EQ(slots[24].y, slots[0].y);
    EXPECT_DOUBLE_EQ(slots[5].x, 140);
    EXPECT_DOUBLE_EQ(slots[5].y, 0.5 + 37);
    EXPECT_EQ(pageCount(l, 24, 1), 1);
    EXPECT_EQ(pageCount(l, 25, 1), 2);
    EXPECT_EQ(pageCount(l, 0, 1), 0);
    // A roll has a page per label.
    EXPECT_EQ(pageCount(findLayout("rotolo-58"), 7, 2), 14);
    EXPECT_TRUE(placeLabels(findLayout("elenco"), 5, 1).empty());
    EXPECT_TRUE(placeLabels(l, 5, 0).empty());
}

history::Label label(const std::string& ean, double price) {
    history::Label l;
    l.article = 7;
    l.ean = ean;
    l.description = "OLIO";
    l.newPrice = Money::fromDouble(price);
    return l;
}

TEST(LabelFace, UnitPriceOfferAndGoodsSoldByWeight) {
    auto l = label("8000000000026", 7.14);
    l.unitPrice = Money::fromDouble(14.28);
    l.referenceUnit = "LT";
    auto f = faceOf(l);
    EXPECT_EQ(f.price, "€ 7,14");
    EXPECT_EQ(f.unitLine, "€ 14,28/LT");
    EXPECT_EQ(f.offerLine, "");
    EXPECT_EQ(f.barcode, "8000000000026");
    EXPECT_EQ(f.codeLine, "");

    l.offerPrice = Money::fromDouble(5.99);
    l.offerUnitPrice = Money::fromDouble(11.98);
    EXPECT_EQ(faceOf(l).offerLine, "OFFERTA € 5,99");
    EXPECT_EQ(faceOf(l).offerUnitLine, "€ 11,98/LT");
    l.offerUnitPrice.reset();
    EXPECT_EQ(faceOf(l).offerLine, "OFFERTA € 5,99");
    EXPECT_EQ(faceOf(l).offerUnitLine, "");

    // In-store code: the price is per kg, no symbol (the scale prints the barcode).
    auto w = label("2100051000009", 1234.5);
    w.unitPrice = Money::fromDouble(99);
    auto fw = faceOf(w);
    EXPECT_EQ(fw.price, "€ 1.234,50/KG");
    EXPECT_EQ(fw.unitLine, "");
    EXPECT_EQ(fw.barcode, "");
    EXPECT_EQ(fw.codeLine, "Cod. 2100051000009");
    EXPECT_TRUE(soldByWeight("2100051000009"));
    EXPECT_FALSE(soldByWeight("8000000000026"));
    EXPECT_FALSE(soldByWeight(""));

    // A code that no symbol can carry is printed as text; no code at all names the article.
    EXPECT_EQ(faceOf(label("12345", 1)).codeLine, "Cod. 12345");
    EXPECT_EQ(faceOf(label("", 1)).codeLine, "Art. 7");
    EXPECT_EQ(faceOf(label("80000000000AB", 1)).barcode, "");
}

TEST(LabelFace, BoxesStayInsideTheLabelAndApart) {
    for (const auto& l : labelLayouts()) {
        if (l.table) continue;
        for (int variant = 0; variant < 4; ++variant) {
            const bool symbol = variant & 1, offer = variant & 2;
            SCOPED_TRACE(l.name + (symbol ? " con simbolo" : " senza simbolo") +
                         (offer ? ", in offerta" : ""));
            FaceBoxes b = faceBoxes(l.labelWidth, l.labelHeight, symbol, offer);
            std::vector<Box> boxes{b.description, b.price, b.unitLine, b.offerLine};
            boxes.push_back(symbol ? b.barcode : b.codeLine);
            for (const auto& x : boxes) {
                EXPECT_GT(x.width, 0);
                EXPECT_GT(x.height, 0);
                EXPECT_GE(x.x, 0);
                EXPECT_GE(x.y, 0);
                EXPECT_LE(x.right(), l.labelWidth + 1e-9);
                EXPECT_LE(x.bottom(), l.labelHeight + 1e-9);
            }
            for (size_t i = 0; i < boxes.size(); ++i)
                for (size_t j = i + 1; j < boxes.size(); ++j) {
                    bool apart = boxes[i].right() <= boxes[j].x + 1e-9 ||
                                 boxes[j].right() <= boxes[i].x + 1e-9 ||
                                 boxes[i].bottom() <= boxes[j].y + 1e-9 ||
                                 boxes[j].bottom() <= boxes[i].y + 1e-9;
                    EXPECT_TRUE(apart) << i << " " << j;
                }
            // An EAN-13 symbol needs about 30 mm to scan at a sensible module.
            if (symbol) {
                EXPECT_GE(b.barcode.width, 26);
            }
        }
    }
}

// One millimetre per character at 10 points, proportional to the size.
double fakeMeasure(const std::string& s, double pt) {
    size_t chars = 0;
    for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
    return static_cast<double>(chars) * pt / 10;
}

TEST(LabelFace, DescriptionFitsShrinksOrIsCutAtAWordWithAMark) {
    const Box box{0, 0, 20, lineHeight(10) * 2 + 0.01};  // two lines of 20 chars at 10 pt
    auto a = fitText("PANE COMUNE", box, 10, 6, fakeMeasure);
    EXPECT_EQ(a.lines, std::vector<std::string>{"PANE COMUNE"});
    EXPECT_EQ(a.points, 10);
    EXPECT_FALSE(a.cut);

    auto b = fitText("ACETO BALSAMICO DI MODENA IGP INVECCHIATO", box, 10, 6, fakeMeasure);
    EXPECT_FALSE(b.cut);
    EXPECT_LT(b.points, 10);
    std::string joined;
    for (const auto& l : b.lines) joined += (joined.empty() ? "" : " ") + l;
    EXPECT_EQ(joined, "ACETO BALSAMICO DI MODENA IGP INVECCHIATO");

    // Too long even at the smallest size: whole words, then the mark.
    std::string longText;
    for (int i = 0; i < 30; ++i) longText += "PAROLA ";
    auto c = fitText(longText, box, 10, 6, fakeMeasure);
    EXPECT_TRUE(c.cut);
    EXPECT_EQ(c.points, 6);
    ASSERT_FALSE(c.lines.empty());
    const std::string& last = c.lines.back();
    EXPECT_EQ(last.substr(last.size() - 3), "…");
    std::string before = last.substr(0, last.size() - 3);
    EXPECT_TRUE(before.size() >= 6 && before.substr(before.size() - 6) == "PAROLA") << last;
    for (const auto& l : c.lines) EXPECT_LE(fakeMeasure(l, 6), box.width);

    // A single word wider than the box is cut with the mark, never mid-character.
    auto d = fitText("SUPERCALIFRAGILISTICHESPIRALIDOSOÈÈÈÈÈÈÈÈÈÈÈÈ", Box{0, 0, 10, 3}, 10, 6,
                     fakeMeasure);
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_TRUE(d.cut);
    EXPECT_EQ(d.lines[0].substr(d.lines[0].size() - 3), "…");
    EXPECT_LE(fakeMeasure(d.lines[0], 6), 10);
}

TEST(Barcode, TheLibraryDrawsValidEansAndRefusesWrongOnes) {
    auto ean13 = eanSymbol("8000000000026");
    ASSERT_TRUE(ean13);
    // 3 guard patterns + 12 digits of 2 bars each.
    EXPECT_EQ(ean13->bars.size(), 30u);
    EXPECT_GT(ean13->width, 0);
    std::string digits;
    for (const auto& t : ean13->texts) digits += t.text;
    EXPECT_EQ(digits.find_first_not_of("0123456789 <>"), std::string::npos);
    EXPECT_NE(digits.find("000002"), std::string::npos);
    EXPECT_TRUE(eanSymbol("96385074"));
    EXPECT_FALSE(eanSymbol("8000000000027"));  // wrong check digit
    EXPECT_FALSE(eanSymbol("800000000002"));
    EXPECT_FALSE(eanSymbol("80000000000AB"));
    EXPECT_FALSE(eanSymbol(""));
}

}  // namespace
}  // namespace cl::labels
