#include "demo/demo_model.h"

#include <cstdio>
#include <map>

#include "app/ean.h"
#include "app/money.h"
#include "app/percentages.h"
#include "demo/demo_catalog.h"
#include "demo/demo_random.h"
#include "store/error.h"
#include "store/fixed_text.h"

namespace cl::demo {

namespace {
using app::ean13;

std::string padded(long long n, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", digits, n);
    return buf;
}

double unitMultiplier(const std::string& unit) {
    for (const auto& u : demoUnits())
        if (u.code == unit) return u.multiplier;
    return 1;
}

struct Size {
    int pack = 1;
    double quantity = 1;
    std::string unit;
    bool weighed = false;
};

// "500 GR", "1,5 LT", "6X1,5 LT", or "KG" alone for goods sold by weight.
Size parseSize(const std::string& text) {
    Size s;
    if (text == "KG") {
        s.unit = "KG";
        s.weighed = true;
        return s;
    }
    std::string t = text;
    if (auto x = t.find('X'); x != std::string::npos && x < 3) {
        s.pack = std::stoi(t.substr(0, x));
        t = t.substr(x + 1);
    }
    auto blank = t.find(' ');
    std::string number = t.substr(0, blank);
    for (char& c : number)
        if (c == ',') c = '.';
    s.quantity = std::stod(number);
    s.unit = t.substr(blank + 1);
    return s;
}

// Unique barcodes: EAN-13 with an Italian prefix, a company part per brand and an item part
// per brand; in-store codes for goods sold by weight begin with 2.
class BarcodeMaker {
  public:
    std::string forBrand(const std::string& brand) {
        auto [it, added] = companies_.try_emplace(brand, static_cast<int>(companies_.size()));
        long long& next = items_[brand];
        if (next >= 100000)
            throw Error(
                "Attenzione ... Troppi articoli per il negozio di prova: ridurre --articles.",
                ErrorKind::InvalidInput);
        long long item = (next++ * 37 + 11) % 100000;  // 37 is prime to 10^5: no repeats
        int company = 10000 + it->second * 1777;
        return ean13("80" + padded(company, 5) + padded(item, 5));
    }
    std::string inStore() {
        long long plu = ++weighed_;
        if (plu >= 900000)
            throw Error(
                "Attenzione ... Troppi articoli per il negozio di prova: ridurre --articles.",
                ErrorKind::InvalidInput);
        return ean13("2" + std::to_string(1 + plu / 100000) + padded(plu % 100000, 5) + "00000");
    }

  private:
    std::map<std::string, int> companies_;
    std::map<std::string, long long> items_;
    long long weighed_ = 0;
};

Money moneyBetween(DemoRandom& rnd, double lo, double hi) {
    long long a = static_cast<long long>(lo * 10000), b = static_cast<long long>(hi * 10000);
    return Money::fromUnits(rnd.between(a, b));
}

class Builder {
  public:
    Builder(const DemoOptions& o, const std::string& today)
        : opt_(o), rnd_(o.seed), today_(daysFromIso(today)) {
        model_.today = today;
    }

    DemoModel build() {
        for (long long i = 1; i <= opt_.articles; ++i) model_.articles.push_back(storeArticle(i));
        long long newProducts = std::max<long long>(3, opt_.articles / 20);
        for (long long i = 0; i < newProducts; ++i) model_.articles.push_back(newProduct());
        mark();
        count();
        return std::move(model_);
    }

  private:
    const DemoProduct& drawProduct() { return rnd_.pick(demoProducts()); }

    // A product drawn again becomes a variety of its own, as long as there are varieties left.
    std::string variantOf(const std::string& key) {
        static const std::vector<std::string> varieties{
            "NUOVA RICETTA",  "SENZA GLUTINE", "CONF. FAMIGLIA", "FORMATO SCORTA", "LINEA VERDE",
            "EXTRA",          "PREMIUM",       "ORIGINALE",      "DEL CONTADINO",  "DI MONTAGNA",
            "GUSTO DELICATO", "GUSTO INTENSO", "LEGGERO",        "ALTA QUALITA'",  "RISERVA",
            "SPECIALE",       "ESTATE",        "INVERNO",        "DELLA CASA",     "GRAN SAPORE"};
        size_t seen = seen_[key]++;
        return seen == 0 || seen > varieties.size() ? "" : varieties[seen - 1];
    }

    void describe(DemoArticle& a, const DemoProduct& p) {
        const auto& sub = subgroupByCode(p.subgroup);
        const auto& group = groupOf(sub);
        a.subgroup = sub.code;
        a.group = group.code;
        a.department = group.department ? group.department : 2;
        const auto& dept = departmentByCode(a.department);
        a.brand = rnd_.pick(group.brands.empty() ? dept.brands : group.brands);
        const std::string& sizeText = rnd_.pick(p.sizes);
        Size size = parseSize(sizeText);
        a.vat = p.vat;
        a.weighed = size.weighed;
        a.pack =
            size.weighed ? 1 : static_cast<int>(rnd_.pick(std::vector<long long>{6, 12, 12, 24}));
        a.unit = size.weighed ? "KG" : (size.pack > 1 ? "CT" : "PZ");
        if (size.pack > 1) a.pack = size.pack;
        a.content = size.pack * size.quantity;
        a.contentUnit = size.unit;
        const std::string& qualifier = rnd_.pick(demoQualifiers());
        const std::string variety = variantOf(p.name + qualifier + a.brand + sizeText);
        const std::string sizeSuffix = size.weighed ? "" : " " + sizeText;
        // Descriptions stay within 50 characters, as the article files hold them: the qualifier
        // gives way before anything is cut.
        for (int drop = 0; drop < 2; ++drop) {
            a.description = p.name + (drop < 1 && !qualifier.empty() ? " " + qualifier : "") +
                            (!variety.empty() ? " " + variety : "") + " " + a.brand + sizeSuffix;
            if (store::charCount(a.description) <= 50) break;
        }
        a.description = store::rtrimmed(store::firstChars(a.description, 50));
        Money perReference = moneyBetween(rnd_, p.costMin, p.costMax);
        double references = size.weighed ? 1 : a.content / unitMultiplier(size.unit);
        a.cost = Money::fromDouble(perReference.toDouble() * references);
        if (a.cost < Money::fromUnits(500)) a.cost = Money::fromUnits(500);
        double base = group.markup < 0 ? 33 : group.markup;
        a.markup = group.excluded ? base : base + rnd_.pick(std::vector<double>{-5, 0, 0, 0, 5});
        a.price = salePrice(a.cost, a.markup, a.vat);
        double perUnit = a.content / unitMultiplier(a.contentUnit);
        if (perUnit > 0)
            a.unitPrice = Money::fromDouble(roundHalfEven(a.price.toDouble() / perUnit, 2));
    }

    DemoArticle storeArticle(long long code) {
        DemoArticle a;
        a.storeCode = code;
        describe(a, drawProduct());
        const auto& dept = departmentByCode(a.department);
        a.supplier = dept.localSupplier && rnd_.chance(0.3) ? dept.localSupplier : kWholesaler;
        if (a.supplier == kWholesaler) {
            a.centralCode = nextCentral_++;
            a.supplierCode = padded(a.centralCode, 9);
            a.codeOnly = !a.weighed && rnd_.chance(0.015);
            if (a.codeOnly) a.paddedListCode = (++codeOnly_ % 2) == 1;
        } else {
            a.supplierCode = padded(a.supplier * 100000LL + (++localCodes_), 9);
        }
        if (a.codeOnly) {
            a.centralEan = barcodes_.forBrand(a.brand);
        } else {
            addBarcodes(a);
        }
        if (rnd_.chance(0.05))
            a.offer = Money::fromDouble(roundHalfEven(
                percentOf(a.price, Money::fromInt(rnd_.between(70, 90))).toDouble(), 2));
        long long registered = today_ - rnd_.between(60, 2000);
        a.registered = isoFromDays(registered);
        if (!rnd_.chance(0.03))
            a.updated = isoFromDays(registered + rnd_.between(0, today_ - registered - 1));
        a.bought = rnd_.between(0, 600);
        a.sold = rnd_.between(0, a.bought);
        a.centralCost = a.cost;
        a.centralPrice = a.price;
        a.validFrom = a.updated.empty() ? a.registered : a.updated;
        return a;
    }

    void addBarcodes(DemoArticle& a) {
        DemoBarcode first;
        first.ean = a.weighed ? barcodes_.inStore() : barcodes_.forBrand(a.brand);
        first.flagged = rnd_.chance(0.15);
        first.sold = rnd_.chance(0.25) ? 0 : rnd_.between(1, 1500);
        a.barcodes.push_back(first);
        if (a.weighed || !rnd_.chance(0.07)) return;
        DemoBarcode second;
        second.ean = barcodes_.forBrand(a.brand);
        second.primary = false;
        second.pieces =
            rnd_.chance(0.5) ? static_cast<int>(rnd_.pick(std::vector<long long>{4, 6})) : 1;
        second.flagged = rnd_.chance(0.15);
        second.sold = rnd_.chance(0.5) ? 0 : rnd_.between(1, 300);
        a.barcodes.push_back(second);
    }

    DemoArticle newProduct() {
        DemoArticle a;
        a.supplier = kWholesaler;
        a.centralCode = nextCentral_++;
        a.supplierCode = padded(a.centralCode, 9);
        const DemoProduct* p = &drawProduct();
        while (p->sizes.size() == 1 && p->sizes[0] == "KG") p = &drawProduct();
        describe(a, *p);
        if (a.weighed) a.weighed = false, a.unit = "PZ";
        a.centralEan = barcodes_.forBrand(a.brand);
        a.change = Change::New;
        a.centralCost = a.cost;
        a.centralPrice = a.price;
        a.validFrom = isoFromDays(today_ - rnd_.between(0, 5));
        return a;
    }

    void applyChange(DemoArticle& a, Change c) {
        a.change = c;
        a.marked = true;
        a.validFrom = isoFromDays(today_ - rnd_.between(0, 5));
        if (c == Change::Same) return;
        long long percent =
            c == Change::Increase ? 100 + rnd_.between(2, 12) : 100 - rnd_.between(2, 10);
        a.centralCost = percentOf(a.cost, Money::fromInt(percent));
        a.centralPrice = salePrice(a.centralCost, a.markup, a.vat);
    }

    void mark() {
        const double share = opt_.changedShare / 100.0;
        for (auto& a : model_.articles) {
            if (!a.centralCode || !rnd_.chance(share)) continue;
            if (a.change == Change::New) {
                a.marked = true;
                continue;
            }
            double u = rnd_.unit();
            applyChange(a, u < 0.45   ? Change::Increase
                           : u < 0.70 ? Change::Decrease
                                      : Change::Same);
        }
        if (opt_.changedShare <= 0) return;
        // Even a small demo shows every kind of change.
        auto ensure = [&](auto wanted, auto eligible, auto markIt) {
            for (auto& a : model_.articles)
                if (a.marked && wanted(a)) return;
            for (auto& a : model_.articles)
                if (!a.marked && eligible(a)) return markIt(a);
        };
        ensure([](const DemoArticle& a) { return a.change == Change::New; },
               [](const DemoArticle& a) { return a.change == Change::New; },
               [](DemoArticle& a) { a.marked = true; });
        ensure([](const DemoArticle& a) { return a.codeOnly; },
               [](const DemoArticle& a) { return a.codeOnly; },
               [&](DemoArticle& a) { applyChange(a, Change::Increase); });
        for (Change c : {Change::Increase, Change::Decrease, Change::Same})
            ensure([c](const DemoArticle& a) { return a.change == c; },
                   [](const DemoArticle& a) { return a.centralCode && a.storeCode && !a.codeOnly; },
                   [&, c](DemoArticle& a) { applyChange(a, c); });
    }

    void count() {
        for (const auto& a : model_.articles) {
            if (a.storeCode) ++model_.storeArticles, ++model_.listRows;
            if (a.centralCode) ++model_.centralArticles;
            if (a.marked) {
                ++model_.marked;
                if (a.change == Change::Increase) ++model_.increased;
                if (a.change == Change::Decrease) ++model_.decreased;
                if (a.change == Change::Same) ++model_.unchanged;
                if (a.change == Change::New) ++model_.newProducts;
                if (a.codeOnly) ++model_.codeOnly;
            }
            model_.storeBarcodes += static_cast<long long>(a.barcodes.size());
        }
    }

    DemoOptions opt_;
    DemoRandom rnd_;
    long long today_;
    DemoModel model_;
    BarcodeMaker barcodes_;
    long long nextCentral_ = 100001, localCodes_ = 0, codeOnly_ = 0;
    std::map<std::string, size_t> seen_;
};

}  // namespace

Money withVat(Money amount, int vatPercent) {
    return amount + percentOf(amount, Money::fromInt(vatPercent));
}

Money salePrice(Money cost, double markupPercent, int vatPercent) {
    Money a = cost + cost * Money::fromDouble(markupPercent / 100);
    return withVat(a, vatPercent).round2();
}

double marginOver(Money price, Money costWithVat) {
    if (costWithVat.isZero()) return 0;
    return roundHalfEven((price - costWithVat).toDouble() / costWithVat.toDouble() * 100, 2);
}

// Civil-calendar conversions (proleptic Gregorian), after H. Hinnant's algorithms.
long long daysFromIso(const std::string& iso) {
    int y = std::stoi(iso.substr(0, 4));
    unsigned m = static_cast<unsigned>(std::stoi(iso.substr(5, 2)));
    unsigned d = static_cast<unsigned>(std::stoi(iso.substr(8, 2)));
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<long long>(era) * 146097 + static_cast<long long>(doe) - 719468;
}

std::string isoFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y0 = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = y0 + (m <= 2);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", y, m, d);
    return buf;
}

DemoModel buildDemoModel(const DemoOptions& options, const std::string& todayIso) {
    return Builder(options, todayIso).build();
}

}  // namespace cl::demo
