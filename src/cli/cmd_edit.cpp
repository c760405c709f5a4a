#include <iostream>

#include "app/numbers.h"
#include "cli/review_session.h"
#include "priceedit/price_editor.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::cli {
namespace {

using priceedit::Field;

// The editor's inputs for the first row with this key, as a click on the grid sets them.
priceedit::EditorInputs inputsFor(store::Database& db, long long bns) {
    auto st = db.prepare("SELECT codart, ea1art, codafo FROM variatil WHERE bns = ? ORDER BY " +
                         db.rowIdentity() + " LIMIT 1");
    st.bindAll(bns);
    if (!st.step()) {
        st.reset();
        throw Error("Attenzione ... Nessuna riga con bns = " + std::to_string(bns) + ".",
                    ErrorKind::NotFound);
    }
    priceedit::EditorInputs in{0, st.integer("codart"), store::fixedWidth(st.text("ea1art"), 13),
                               store::fixedWidth(st.text("codafo"), 16), bns};
    st.reset();
    return in;
}

int runEdit(Context& ctx, const Args& args) {
    if (args.positional().size() != 1) throw UsageError{"indicare un bns"};
    auto bns = wholeNumber(args.positional().front());
    if (!bns) throw UsageError{"bns non valido: " + args.positional().front()};
    std::vector<std::pair<Field, std::string>> asked;
    if (auto v = args.value("markup")) asked.emplace_back(Field::ricn, *v);
    if (auto v = args.value("margin")) asked.emplace_back(Field::margw, *v);
    if (auto v = args.value("price")) asked.emplace_back(Field::pren, *v);
    if (asked.size() != 1) throw UsageError{"indicare una sola tra --markup, --margin e --price"};

    WatchedMessages messages(ctx.messages);
    auto s = openReviewSession(ctx, messages);
    if (args.flag("round")) ctx.session.state.fl_arrotonda = std::string(1, 'S');
    priceedit::PriceEditor editor(*s->db, messages, ctx.session.state);
    editor.load(inputsFor(*s->db, *bns));
    if (!editor.hasRow())
        throw Error("Attenzione ... Nessuna riga da modificare.", ErrorKind::NotFound);
    if (auto vat = args.value("vat")) editor.fields.ivaw = *vat;
    // Typed into the field, then Enter, then "Conferma".
    auto [field, text] = asked.front();
    editor.fields[field] = text;
    editor.enter(field);
    if (messages.errorShown()) return kFailed;
    auto saved = editor.carica();
    if (saved.declined) std::cerr << "Prezzo non confermato: nessuna modifica.\n";
    if (!saved.closed) return kFailed;
    std::cout << "bns " << *bns << " (articolo " << editor.fields.codarw << "): P.Vendita "
              << editor.fields.pren << "  % Margine " << editor.fields.margw << "  % Ricarica "
              << editor.fields.ricn << "\n";
    return kDone;
}

Registration reg{{"edit",
                  "BNS [--vat V] (--markup R | --margin M | --price P) [--round]",
                  "modifica il prezzo di vendita di un articolo come la finestra \"Modifica "
                  "Prezzi di Vendita\" e conferma",
                  {"vat", "markup", "margin", "price"},
                  {"round"},
                  runEdit}};

HelpDetails details{
    "edit",
    "R, M e P si leggono come nella finestra dopo Invio: il separatore decimale è l'ultimo\n"
    "tra \".\" e \",\" (12,5 = 12.5 = 12,50; 1.234,5 = 1,234.5 = 1234,50). Un numero scritto\n"
    "senza separatore, di 3, 4 o 5 cifre, ha i decimali impliciti: la prima cifra è la parte\n"
    "intera (250 = 2,50; 1250 = 1,25; 12500 = 1,25), anche per ricarica e margine (100 =\n"
    "1,00: scrivere 100,00); 7, 25 e 123456 restano come sono. Un testo che non è un numero\n"
    "(1.234.567, 12a) è rifiutato e non si scrive nulla, come un prezzo con più di 2\n"
    "decimali (4,567). Un prezzo sotto il costo IVA compresa chiede conferma (--yes).\n\n"
    "Esempi:\n"
    "  controllo-listino edit 14 --price 250          prezzo di vendita 2,50\n"
    "  controllo-listino edit 14 --price 25,00        prezzo di vendita 25,00\n"
    "  controllo-listino edit 14 --markup 30 --round  ricarica 30 %, prezzo a 0,05\n"};

}  // namespace
}  // namespace cl::cli
