#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/money.h"

namespace cl::demo {

struct DemoOptions {
    long long articles = 2000;  // articles of the store
    std::uint64_t seed = 1;
    int changedShare = 10;  // percent of the central articles marked changed
};

// What the central article database says about an article compared with the store.
enum class Change { None, Increase, Decrease, Same, New };

struct DemoBarcode {
    std::string ean;
    int pieces = 1;        // pezzix
    bool primary = true;   // primasecon "P"
    bool flagged = false;  // flagean "S"
    long long sold = 0;    // even
};

struct DemoArticle {
    long long storeCode = 0;    // listi01.codart; 0 for a product the store does not have
    long long centralCode = 0;  // articolo.codart; 0 for an article not in the central catalogue
    int supplier = 0;
    std::string supplierCode;  // nine digits
    std::string description, brand;
    int subgroup = 0, group = 0, department = 0;
    int vat = 0;
    std::string unit;                     // umart
    int pack = 1;                         // imbart
    double content = 0;                   // quaco / pezzatura
    std::string contentUnit;              // umquaco / umconf
    bool weighed = false;                 // tipart 2
    Money cost, price, offer, unitPrice;  // cofart, przpub, przsal, prztot
    double markup = 0;                    // ricart
    std::vector<DemoBarcode> barcodes;    // in the store's codean
    std::string centralEan;               // the central barcode when the store has none for it
    bool codeOnly = false;       // in the store and its supplier list, but without a barcode there
    bool paddedListCode = true;  // listi02.codafo blank-padded to 16
    std::string registered, updated;  // datreg, datagg ("" = never set)
    long long bought = 0, sold = 0;
    // Central catalogue
    Change change = Change::None;
    bool marked = false;
    Money centralCost, centralPrice;
    std::string validFrom;  // datval
};

struct DemoModel {
    std::string today;
    std::vector<DemoArticle> articles;  // store articles first, then the new central products
    long long storeArticles = 0, centralArticles = 0, storeBarcodes = 0, marked = 0;
    long long listRows = 0;
    // Marked articles by kind
    long long increased = 0, decreased = 0, unchanged = 0, newProducts = 0, codeOnly = 0;
};

DemoModel buildDemoModel(const DemoOptions& options, const std::string& todayIso);

// Sale price incl. VAT from cost, markup and VAT as a check run computes it: the markup and
// the VAT amounts rounded to 4 decimals, the price to the cent (ties to even).
Money salePrice(Money cost, double markupPercent, int vatPercent);
// The markup of the sale price over the cost including VAT, in percent, to 2 decimals.
double marginOver(Money price, Money costWithVat);
Money withVat(Money amount, int vatPercent);

// Days from 1970-01-01 and back, for the dates of the demo.
long long daysFromIso(const std::string& iso);
std::string isoFromDays(long long days);

}  // namespace cl::demo
