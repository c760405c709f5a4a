#pragma once
#include <optional>
#include <string>

#include "store/database.h"

namespace cl {

// The parameter row of the site (table parametri, key "01L" for site 1).
struct ParameterRow {
    int acos = 0, aric = 0, apv = 0, creart = 0;
    long long cliente = 0;
    int tiposel = 4;
};

std::string chiaveParametri(int nsede);  // "0" + site + "L"
std::optional<ParameterRow> readParameters(store::Database& db, const std::string& chiave);
// Finds the row by key and edits it, or adds it; codpag and cassa are always written 0.
void saveParameters(store::Database& db, const std::string& chiave, const ParameterRow& row);

}  // namespace cl
