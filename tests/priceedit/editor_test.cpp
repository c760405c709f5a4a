#include <gtest/gtest.h>

#include <memory>

#include "priceedit/price_editor.h"
#include "support/variatil_rows.h"

namespace cl::priceedit {
namespace {

using test::VariatilRow;

class Editor : public ::testing::Test {
  protected:
    test::TempStore store;
    test::RecordingMessages messages;
    std::unique_ptr<store::Database> db;
    std::unique_ptr<PriceEditor> editor;

    void openOn(const VariatilRow& r, long long codart, long long bns = 0) {
        test::addVariatil(store, r);
        db = store.session.openStore();
        editor = std::make_unique<PriceEditor>(*db, messages, store.session.state);
        editor->load({3, codart, "8001234567890", "A1              ", bns});
    }
    // Types a text into a field and presses Enter there.
    std::optional<Field> type(Field f, const std::string& text) {
        editor->fields[f] = text;
        return editor->enter(f);
    }
    EditorFields& f() { return editor->fields; }
    // "bns:prezpubv:rica:" then fl1art, sel and modificatoamano of every row in key order, the
    // values as the engine gives them (a null is empty).
    std::string savedRows() {
        std::string out;
        auto connection = store.openStoreDb();
        auto st = connection->prepare(
            "SELECT bns, prezpubv, rica, fl1art, sel, modificatoamano FROM variatil ORDER BY bns");
        while (st.step()) {
            out += (out.empty() ? "" : " ") + st.value(0).text() + ":" + st.value(1).text() + ":" +
                   st.value(2).text() + ":";
            for (int c = 3; c < 6; ++c) out += st.value(c).text();
        }
        return out;
    }
    std::string lastMessage() const {
        return messages.shown.empty() ? "" : messages.shown.back().text;
    }
};

VariatilRow article(const std::string& cost = "10", const std::string& vat = "22") {
    VariatilRow r;
    r.codart = 100;
    r.przart = cost;
    r.ivart = vat;
    r.przvec = "8.5";
    r.prezpub = "12.3";
    r.perc = "-1.5";
    r.prezpubv = "13";
    r.rica = "17.25";
    return r;
}

TEST_F(Editor, LoadsTheFieldsWithTheirFormats) {
    VariatilRow r = article("1234.5");
    openOn(r, 100);
    EXPECT_EQ(f().codarw, "100");
    EXPECT_EQ(f().eanw, "8001234567890");
    EXPECT_EQ(f().desarw, "PASTA");
    EXPECT_EQ(f().umw, "PZ");
    EXPECT_EQ(f().ivaw, "22");
    EXPECT_EQ(f().costov, "8,500");
    EXPECT_EQ(f().prev, "12,30");
    EXPECT_EQ(f().ricv, "-1,50");
    EXPECT_EQ(f().coston, "1.234,500");
    EXPECT_EQ(f().pren, "13,00");
    EXPECT_EQ(f().margw, "17,25");
    EXPECT_EQ(f().ricn, "");
    EXPECT_FALSE(editor->margwLightGreen());
}

TEST_F(Editor, MarginZeroOrMissingIsLightGreen) {
    VariatilRow r = article();
    r.rica = "NULL";
    openOn(r, 100);
    EXPECT_TRUE(editor->margwLightGreen());
    EXPECT_EQ(f().margw, "");
}

TEST_F(Editor, ArticleZeroLoadsByRowKey) {
    VariatilRow r = article();
    r.codart = 0;
    r.bns = 9;
    r.desart = "NUOVO";
    openOn(r, 0, 9);
    EXPECT_TRUE(editor->hasRow());
    EXPECT_EQ(f().desarw, "NUOVO");
}

TEST_F(Editor, MarkupWorkedExampleWithAndWithoutRounding) {
    openOn(article(), 100);
    EXPECT_EQ(type(Field::ricn, "30"), Field::pren);
    EXPECT_EQ(f().pren, "15,86");
    EXPECT_EQ(f().margw, "23,08");
    EXPECT_EQ(f().ricn, "30,00");
    EXPECT_DOUBLE_EQ(editor->gcosiva(), 12.2);

    store.session.state.fl_arrotonda = "S";
    type(Field::ricn, "30");
    EXPECT_EQ(f().pren, "15,90");
    EXPECT_EQ(f().margw, "23,27");
    EXPECT_EQ(f().ricn, "30,33");
}

TEST_F(Editor, VatCodeOfFiftyOrMoreAddsNoVat) {
    openOn(article("10", "55"), 100);
    type(Field::ricn, "30");
    EXPECT_EQ(f().pren, "13,00");
    EXPECT_EQ(f().margw, "23,08");  // (13 - 10) / 13
}

TEST_F(Editor, VatZeroProposesPriceZero) {
    openOn(article("10", "0"), 100);
    type(Field::ricn, "30");
    EXPECT_EQ(f().pren, "0,00");
}

TEST_F(Editor, MarginWorkedExample) {
    openOn(article("10", "10"), 100);
    EXPECT_EQ(type(Field::margw, "20"), Field::Conferma);
    EXPECT_EQ(f().pren, "13,75");
    EXPECT_EQ(f().ricn, "25,00");
    EXPECT_EQ(f().margw, "20,00");
}

TEST_F(Editor, MarginOfHundredOrMoreIsRefused) {
    openOn(article("10", "10"), 100);
    EditorFields before = f();
    EXPECT_FALSE(type(Field::margw, "100,00"));
    EXPECT_NE(lastMessage().find("margine del 100%"), std::string::npos);
    EXPECT_EQ(f().pren, before.pren);
    EXPECT_FALSE(type(Field::margw, "150.5"));
    EXPECT_EQ(f().pren, before.pren);
    // Three digits take implicit decimals: 100 typed is a margin of 1.
    EXPECT_EQ(type(Field::margw, "100"), Field::Conferma);
    EXPECT_EQ(f().margw, "1,00");
    EXPECT_EQ(f().pren, "11,11");
}

TEST_F(Editor, PriceWithImplicitDecimals) {
    openOn(article("2", "0"), 100);
    EXPECT_EQ(type(Field::pren, "250"), Field::margw);
    EXPECT_EQ(f().pren, "2,5000");
    EXPECT_EQ(f().margw, "20,00");  // (2.5 - 2) / 2.5
    EXPECT_EQ(f().ricn, "25,00");
    type(Field::pren, "7");
    EXPECT_EQ(f().pren, "7,0000");
}

TEST_F(Editor, TheNumberTestAcceptsWhatNormalizzaReadsAndNothingElse) {
    openOn(article("2", "0"), 100);
    EXPECT_EQ(type(Field::pren, "1,234.5"), Field::margw);
    EXPECT_EQ(f().pren, "1.234,5000");
    EXPECT_EQ(type(Field::pren, "1.234,5"), Field::margw);
    EXPECT_EQ(f().pren, "1.234,5000");
    EXPECT_EQ(type(Field::pren, "12.5"), Field::margw);
    EXPECT_EQ(f().pren, "12,5000");
    messages.shown.clear();
    EXPECT_EQ(type(Field::pren, "1.234.567"), std::nullopt);
    EXPECT_EQ(lastMessage(), "Attenzione...,Dati non validi");
    EXPECT_EQ(f().pren, "1.234.567");  // left as typed
}

TEST_F(Editor, ConfermaReadsATypedPriceAsEnterWouldRead) {
    openOn(article(), 100);
    type(Field::ricn, "30");
    f().pren = "12.5";  // typed, Conferma without Enter
    ASSERT_TRUE(editor->carica().closed);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE codart = 100"), "12.5");
}

TEST_F(Editor, PriceZeroKeepsTheMarginAsTyped) {
    openOn(article(), 100);
    f().margw = "12";
    type(Field::pren, "0");
    EXPECT_EQ(f().margw, "12,00");
    EXPECT_EQ(f().ricn, "-100,00");
}

TEST_F(Editor, ZeroMarkupTakesThePriceFromTheMarginFirst) {
    openOn(article("10", "10"), 100);
    f().margw = "20";
    type(Field::ricn, "0");
    // A zero markup takes the one of the margin: calcolam first, then calcos with its markup.
    EXPECT_EQ(f().pren, "13,75");
    EXPECT_EQ(f().ricn, "25,00");
    EXPECT_EQ(f().margw, "20,00");
}

TEST_F(Editor, TheThreeNotValidMessages) {
    openOn(article(), 100);
    EditorFields before = f();
    EXPECT_FALSE(type(Field::ricn, "trenta"));
    EXPECT_EQ(lastMessage(), " Dati non validi...");
    EXPECT_EQ(messages.shown.back().icon, Icon::Critical);
    EXPECT_FALSE(type(Field::margw, "x"));
    EXPECT_EQ(lastMessage(), "Attenzione...,Dati non validi");
    EXPECT_FALSE(type(Field::pren, "1O"));
    EXPECT_EQ(lastMessage(), "Attenzione...,Dati non validi");
    EXPECT_EQ(f().pren, "1O");  // left as typed
    EXPECT_EQ(f().coston, before.coston);
}

TEST_F(Editor, EnterInVatRunsCalcosAndNeedsAMarkup) {
    openOn(article(), 100);
    EXPECT_FALSE(type(Field::ivaw, "10"));
    EXPECT_EQ(lastMessage(), " Dati non validi...");
    EXPECT_EQ(f().pren, "13,00");
    f().ricn = "30";
    type(Field::ivaw, "10");
    EXPECT_EQ(f().pren, "14,30");
    EXPECT_EQ(type(Field::eanw, "8001234567890"), Field::codfow);
}

TEST_F(Editor, ConfermaWritesEveryRowOfTheArticleAndTheGridCells) {
    VariatilRow r = article();
    r.sel = "";
    openOn(r, 100);
    VariatilRow second = article();
    second.bns = 2;
    second.ean = "8009999999999";
    second.sel = "";
    test::addVariatil(store, second);
    VariatilRow other = article();
    other.bns = 3;
    other.codart = 101;
    test::addVariatil(store, other);

    type(Field::ricn, "30");
    auto saved = editor->carica();
    ASSERT_TRUE(saved.closed);
    ASSERT_TRUE(saved.cells);
    EXPECT_EQ(saved.cells->gridRow, 3u);
    EXPECT_EQ(saved.cells->prezzoN, "15,86");
    EXPECT_EQ(saved.cells->marN, "23,08");
    EXPECT_EQ(saved.cells->sel, "X");
    EXPECT_EQ(savedRows(), "1:15.86:23.08:SX1 2:15.86:23.08:SX1 3:13:17.25:X");
}

TEST_F(Editor, ConfermaRefusesAFieldWithoutANumber) {
    openOn(article(), 100);
    std::string before = store.dump("variatil");
    auto saved = editor->carica();  // the markup box is still empty
    EXPECT_FALSE(saved.closed);
    EXPECT_EQ(saved.focus, Field::ricn);
    EXPECT_EQ(lastMessage(), "Il campo non contiene dati numerici validi !!!");
    f().ricn = "30";
    f().pren = "";
    EXPECT_EQ(editor->carica().focus, Field::pren);
    EXPECT_EQ(store.dump("variatil"), before);
}

TEST_F(Editor, SalePricesAreInWholeCents) {
    openOn(article("2", "10"), 100);  // cost with VAT 2,20
    const std::string before = store.dump("variatil");
    EXPECT_EQ(type(Field::pren, "4,567"), std::nullopt);
    EXPECT_EQ(lastMessage(),
              "Attenzione ... Prezzo di vendita 4,567 non valido: un prezzo di vendita ha al "
              "massimo 2 decimali (la cassa non può incassarlo).");
    EXPECT_EQ(messages.shown.back().icon, Icon::Critical);
    messages.shown.clear();
    EXPECT_EQ(type(Field::pren, "4567"), std::nullopt);  // implicit decimals: 4,567 again
    EXPECT_EQ(messages.shown.size(), 1u);
    // Typed and "Conferma" without Enter: refused the same way, nothing written.
    f().pren = "4.56789";
    f().margw = f().ricn = "1";
    auto saved = editor->carica();
    EXPECT_FALSE(saved.closed);
    EXPECT_EQ(saved.focus, Field::pren);
    EXPECT_NE(lastMessage().find("4,5679 non valido"), std::string::npos) << lastMessage();
    EXPECT_EQ(store.dump("variatil"), before);
    // Whole cents, typed or worked out, are written.
    EXPECT_EQ(type(Field::pren, "4,56"), Field::margw);
    ASSERT_TRUE(editor->carica().closed);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE codart = 100"), "4.56");
    EXPECT_EQ(type(Field::ricn, "33,3"), Field::pren);  // 2,20 + 33,3 % = 2,9326 -> 2,93
    EXPECT_EQ(f().pren, "2,93");
}

TEST_F(Editor, PriceBelowTheCostWithVatIsAskedAboutBeforeAnythingIsWritten) {
    openOn(article(), 100);  // cost 10 + 22 % = 12,20
    const std::string before = store.dump("variatil");
    EXPECT_EQ(type(Field::pren, "120"), Field::margw);  // read as 1,20
    auto saved = editor->carica();                      // answered No
    EXPECT_FALSE(saved.closed);
    EXPECT_TRUE(saved.declined);
    EXPECT_EQ(saved.focus, Field::pren);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Attenzione ... Il prezzo di vendita 1,20 è sotto il costo IVA compresa 12,20. "
              "Confermare il prezzo?");
    EXPECT_EQ(messages.shown[0].title, "Modifica Prezzi di Vendita");
    EXPECT_EQ(store.dump("variatil"), before);

    messages.answers = {Answer::Yes};
    ASSERT_TRUE(editor->carica().closed);
    EXPECT_EQ(store.scalar("SELECT prezpubv FROM variatil WHERE codart = 100"), "1.2");

    // At the cost, above it, or 0 (never written by the update): no question.
    messages.shown.clear();
    for (const char* price : {"12,20", "15", "0"}) {
        type(Field::pren, price);
        EXPECT_TRUE(editor->carica().closed) << price;
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Editor, NoRowSavesNothingButStillWritesTheGrid) {
    openOn(article(), 555);
    EXPECT_FALSE(editor->hasRow());
    std::string before = store.dump("variatil");
    f().pren = "5";
    f().margw = "1";
    f().ricn = "2";
    auto saved = editor->carica();
    EXPECT_TRUE(saved.closed);
    EXPECT_EQ(saved.cells->prezzoN, "5");
    EXPECT_EQ(store.dump("variatil"), before);
}

}  // namespace
}  // namespace cl::priceedit
