#pragma once
#include <gtest/gtest.h>

#include <string>

#include "check/check_commands.h"
#include "check/check_state.h"
#include "support/temp_store.h"

namespace cl::test {

// A store with supplier 12 chosen and the screen as start-up leaves it.
class CheckFixture : public ::testing::Test {
  protected:
    CheckFixture() {
        t.exec("INSERT INTO fornitori (codfornitore, dscfornitore) VALUES (12, 'ROSSI SPA')");
        check::presetAtStartUp(screen, t.session.state, std::nullopt, std::nullopt);
        t.session.state.codice_fornitore = 12;
    }

    // A central article with one barcode, marked changed.
    void central(long long codart, const std::string& desart, const std::string& ean,
                 const std::string& przart, const std::string& przpub = "NULL",
                 const std::string& ivart = "'22'", const std::string& more = "") {
        t.execFixed(
            "INSERT INTO articolo (codart, desart, przart, przpub, ivart, umart, desfor, "
            "artvariato" +
            std::string(more.empty() ? "" : ", ") + columnsOf(more) + ") VALUES (" +
            std::to_string(codart) + ", " + quote(desart) + ", " + przart + ", " + przpub + ", " +
            ivart + ", 'PZ', 'CENTRALE SRL', 'S'" + (more.empty() ? "" : ", ") + valuesOf(more) +
            ")");
        if (!ean.empty())
            t.execFixed("INSERT INTO codean (eanare, codare) VALUES ('" + ean + "', " +
                        std::to_string(codart) + ")");
    }
    // A store article: its barcode and its sale-list row.
    void storeArticle(long long codart, const std::string& ean, const std::string& cofart,
                      const std::string& przpub, const std::string& ricart = "35",
                      const std::string& marg = "20", const std::string& flagean = "S",
                      long long even = 0) {
        t.exec("INSERT INTO codean (eanare, codare, flagean, even) VALUES ('" + ean + "', " +
               std::to_string(codart) + ", '" + flagean + "', " + std::to_string(even) + ")");
        t.exec(
            "INSERT INTO listi01 (codart, desart, umart, cofart, przpub, ricart, marg, przsal) "
            "VALUES (" +
            std::to_string(codart) + ", 'NEGOZIO " + std::to_string(codart) + "', 'KG', " + cofart +
            ", " + przpub + ", " + ricart + ", " + marg + ", 0)");
    }

    check::RunReport check() {
        return check::runArticleCheck(t.session, screen, messages, progress);
    }
    check::RunReport barcodeCheck() {
        return check::runBarcodeCheck(t.session, screen, messages, progress);
    }
    // A value of the work table; without a condition, of its first row.
    std::string field(const std::string& f, const std::string& where = "1 = 1") {
        return t.scalar("SELECT " + f + " FROM variatil WHERE " + where + " ORDER BY bns");
    }
    long long rows() { return std::stoll(t.scalar("SELECT count(*) FROM variatil")); }
    // Only the given filter boxes ticked.
    void onlyFilters(bool tut, bool nuo, bool piu, bool men, bool sve = false) {
        screen.tut = tut, screen.nuo = nuo, screen.piu = piu, screen.men = men, screen.sve = sve;
    }

    static std::string quote(const std::string& s) {
        std::string out = "'";
        for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
        return out + "'";
    }

    TempStore t;
    check::CheckScreenState screen;
    RecordingMessages messages;
    RecordingProgress progress;

  private:
    // "col=value, col=value" -> the column and value lists.
    static std::string part(const std::string& more, bool names) {
        std::string out, item;
        auto flush = [&] {
            auto eq = item.find('=');
            if (eq == std::string::npos) return;
            if (!out.empty()) out += ", ";
            out += names ? item.substr(0, eq) : item.substr(eq + 1);
            item.clear();
        };
        for (char c : more) {
            if (c == ';')
                flush();
            else
                item += c;
        }
        flush();
        return out;
    }
    static std::string columnsOf(const std::string& more) { return part(more, true); }
    static std::string valuesOf(const std::string& more) { return part(more, false); }
};

}  // namespace cl::test
