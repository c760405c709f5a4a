#pragma once
#include <string>

#include "support/temp_store.h"

namespace cl::test {

// One variatil row with the fields the review and the editor read; the rest stay null.
struct VariatilRow {
    long long bns = 1;
    long long codfor = 12;
    long long codart = 100;
    std::string sel = "X";
    std::string ean = "8001234567890";
    std::string desart = "PASTA";
    std::string ivart = "22";
    std::string codafo = "A1";
    std::string dessot = "SECCA";
    std::string prezpub = "10";   // old sale price (SQL literal; "NULL" allowed)
    std::string prezpubv = "11";  // new sale price
    std::string przvec = "8";     // old cost
    std::string przart = "9";     // new cost (editor)
    std::string coston = "9";     // new cost (recalculation)
    std::string perc = "20";      // old margin
    std::string rica = "18";      // new margin
    std::string percdiff = "5";
    std::string variati = "";
};

inline std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

inline void addVariatil(TempStore& store, const VariatilRow& r) {
    store.exec(
        "INSERT INTO variatil (bns, codfor, codart, sel, ea1art, desart, ivart, codafo, "
        "dessot, prezpub, prezpubv, przvec, przart, coston, perc, rica, percdiff, variati, "
        "umart, offerta) VALUES (" +
        std::to_string(r.bns) + "," + std::to_string(r.codfor) + "," + std::to_string(r.codart) +
        "," + quoted(r.sel) + "," + quoted(r.ean) + "," + quoted(r.desart) + "," + quoted(r.ivart) +
        "," + quoted(r.codafo) + "," + quoted(r.dessot) + "," + r.prezpub + "," + r.prezpubv + "," +
        r.przvec + "," + r.przart + "," + r.coston + "," + r.perc + "," + r.rica + "," +
        r.percdiff + "," + quoted(r.variati) + ",'PZ','          ')");
}

}  // namespace cl::test
