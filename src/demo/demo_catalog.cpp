#include "demo/demo_catalog.h"

#include "store/error.h"

namespace cl::demo {

const std::vector<DemoSupplier>& demoSuppliers() {
    static const std::vector<DemoSupplier> v{
        {kWholesaler, "CE.DI. ORVIK DISTRIBUZIONE S.P.A."},
        {27, "ORTOFRUTTA F.LLI ESPOSITO S.N.C."},
        {35, "PANIFICIO L'ANTICO FORNO S.R.L."},
        {41, "SALUMIFICIO VAL D'ARDA S.P.A."},
        {58, "CASEIFICIO SAN ROCCO SOC. COOP. AGRICOLA"},
        {63, "MACELLERIA COOPERATIVA DEL BORGO"},
        {77, "BEVANDE E VINI DELL'ADRIATICO S.R.L."},
        {84, "IGIENE CASA SUD S.R.L."},
        {104, "DISTRIBUZIONE EDITORIALE NORD S.P.A."},
    };
    return v;
}

const std::vector<DemoDepartment>& demoDepartments() {
    static const std::vector<DemoDepartment> v{
        {1,
         "DROGHERIA ALIMENTARE",
         "S",
         0,
         {"DELL'ORTO", "BUONGUSTO", "VALLE D'ORO", "CASA MIA", "TERRE DEL SOLE", "SAPORI ANTICHI",
          "MOLINO ROSSI", "L'ANTICA BOTTEGA"}},
        {2,
         "BEVANDE",
         "S",
         77,
         {"FONTE SANT'ELIA", "SORGENTE ALPINA", "CANTINA DEL COLLE", "BIRRIFICIO DEL LAGO",
          "FRUTTAVIVA", "TENUTA SAN MARCO"}},
        {3,
         "ORTOFRUTTA",
         "S",
         27,
         {"DELL'ORTO", "ORTO FRESCO", "TERRE DI SICILIA", "FRUTTETI DEL PO"}},
        {4,
         "SALUMERIA E GASTRONOMIA",
         "S",
         41,
         {"SALUMIFICIO BERTI", "VAL D'ARDA", "NORCINERIA UMBRA", "SAPORI DEL MONTE"}},
        {5,
         "LATTICINI E FRESCHI",
         "S",
         58,
         {"LATTERIA VALVERDE", "CASEIFICIO SAN ROCCO", "FATTORIA DELL'ALPE"}},
        {6, "PANETTERIA", "S", 35, {"L'ANTICO FORNO", "FORNO DI PAOLA", "MOLINO ROSSI"}},
        {7, "SURGELATI", "S", 0, {"GELO MARE", "ORTO FRESCO", "FREDDO ITALIA"}},
        {8, "MACELLERIA", "S", 63, {"AIA VERDE", "MACELLERIA DEL BORGO"}},
        {9, "DETERSIVI E CASALINGHI", "N", 84, {"CASA PULITA", "SOLE SPLENDENTE", "BUCATO D'ORO"}},
        {10, "EDICOLA", "S", 104, {"EDITORIALE NORD"}},
    };
    return v;
}

const std::vector<DemoGroup>& demoGroups() {
    static const std::vector<DemoGroup> v{
        {10, "PASTA E RISO", 1, 0, 30},
        {11, "CONSERVE E SUGHI", 1, 0, 32},
        {12, "OLIO ACETO E CONDIMENTI", 1, 0, 28},
        {13, "COLAZIONE E DOLCI", 1, 0, 35},
        {14, "CAFFE' E TE'", 1, 0, -1, {"TORREFAZIONE ROMA", "CASA MIA", "L'ANTICA BOTTEGA"}},
        {20, "ACQUE MINERALI", 2, 0, 40, {"FONTE SANT'ELIA", "SORGENTE ALPINA"}},
        {21,
         "VINI E BIRRE",
         2,
         0,
         35,
         {"CANTINA DEL COLLE", "BIRRIFICIO DEL LAGO", "TENUTA SAN MARCO"}},
        {22, "BIBITE E SUCCHI", 0, 0, 38, {"FRUTTAVIVA", "SORGENTE ALPINA"}},
        {30, "FRUTTA", 3, 0, 45},
        {31, "VERDURA", 3, 0, 45},
        {40, "SALUMI", 4, 0, 40, {"SALUMIFICIO BERTI", "VAL D'ARDA", "NORCINERIA UMBRA"}},
        {41, "FORMAGGI", 4, 0, 38, {"SAPORI DEL MONTE", "LATTERIA VALVERDE", "FATTORIA DELL'ALPE"}},
        {50, "LATTE E YOGURT", 5, 0, 25},
        {51, "UOVA BURRO E PANNA", 5, 0, 25},
        {60, "PANE E SOSTITUTI", 6, 0, 50},
        {70, "SURGELATI", 7, 0, 35},
        {80, "CARNI FRESCHE", 8, 0, 30},
        {90, "DETERSIVI", 9, 0, 30},
        {91, "CARTA E CASA", 9, 0, 30},
        {95, "GIORNALI E RIVISTE", 10, 1, 19},
    };
    return v;
}

const std::vector<DemoSubgroup>& demoSubgroups() {
    static const std::vector<DemoSubgroup> v{
        {101, "PASTA SECCA", 10},
        {102, "RISO", 10},
        {103, "PASTA ALL'UOVO", 10},
        {111, "POMODORO E PELATI", 11},
        {112, "SUGHI PRONTI", 11},
        {113, "LEGUMI IN SCATOLA", 11},
        {114, "TONNO E PESCE", 11},
        {121, "OLIO", 12},
        {122, "ACETO", 12},
        {123, "SALE E SPEZIE", 12},
        {131, "BISCOTTI", 13},
        {132, "CONFETTURE E CREME", 13},
        {133, "ZUCCHERO E FARINA", 13},
        {141, "CAFFE'", 14},
        {142, "TE' E CAMOMILLE", 14},
        {201, "ACQUA NATURALE", 20},
        {202, "ACQUA FRIZZANTE", 20},
        {211, "VINI ROSSI", 21},
        {212, "VINI BIANCHI E BOLLICINE", 21},
        {213, "BIRRE", 21},
        {221, "BIBITE", 22},
        {222, "SUCCHI DI FRUTTA", 22},
        {301, "FRUTTA DI STAGIONE", 30},
        {302, "AGRUMI", 30},
        {311, "ORTAGGI", 31},
        {312, "INSALATE", 31},
        {401, "PROSCIUTTI", 40},
        {402, "SALAMI E INSACCATI", 40},
        {411, "FORMAGGI STAGIONATI", 41},
        {412, "FORMAGGI FRESCHI", 41},
        {501, "LATTE", 50},
        {502, "YOGURT", 50},
        {511, "UOVA", 51},
        {512, "BURRO E PANNA", 51},
        {601, "PANE FRESCO", 60},
        {602, "GRISSINI E CRACKERS", 60},
        {701, "VERDURE SURGELATE", 70},
        {702, "GELATI", 70},
        {703, "PESCE SURGELATO", 70},
        {801, "BOVINO", 80},
        {802, "POLLAME", 80},
        {901, "BUCATO", 90},
        {902, "PIATTI E SUPERFICI", 90},
        {911, "CARTA CASA", 91},
        {951, "QUOTIDIANI", 95},
        {952, "RIVISTE", 95},
    };
    return v;
}

const std::vector<DemoUnit>& demoUnits() {
    static const std::vector<DemoUnit> v{
        {"PZ", 1, "PZ"}, {"KG", 1, "KG"},    {"GR", 1000, "KG"},
        {"LT", 1, "LT"}, {"ML", 1000, "LT"}, {"CT", 1, "PZ"},
    };
    return v;
}

const std::vector<DemoProduct>& demoProducts() {
    static const std::vector<DemoProduct> v{
        {101, "SPAGHETTI N.5", {"500 GR", "1 KG"}, 4, 0.90, 2.20},
        {101, "PENNE RIGATE", {"500 GR", "1 KG"}, 4, 0.90, 2.20},
        {101, "FUSILLI", {"500 GR"}, 4, 0.90, 2.10},
        {101, "RIGATONI", {"500 GR"}, 4, 0.90, 2.10},
        {101, "LINGUINE", {"500 GR"}, 4, 1.00, 2.20},
        {102, "RISO CARNAROLI", {"1 KG", "500 GR"}, 4, 1.20, 2.60},
        {102, "RISO ARBORIO", {"1 KG"}, 4, 1.10, 2.30},
        {103, "TAGLIATELLE ALL'UOVO", {"250 GR", "500 GR"}, 4, 3.60, 6.00},
        {103, "LASAGNE ALL'UOVO", {"500 GR"}, 4, 2.20, 4.40},
        {111, "POMODORI PELATI", {"400 GR", "800 GR"}, 4, 0.90, 2.20},
        {111, "PASSATA DI POMODORO", {"700 GR"}, 4, 0.65, 1.60},
        {111, "POLPA DI POMODORO", {"400 GR"}, 4, 0.90, 2.10},
        {112, "SUGO AL BASILICO", {"400 GR"}, 10, 2.20, 4.70},
        {112, "PESTO ALLA GENOVESE", {"190 GR"}, 10, 7.00, 13.50},
        {113, "FAGIOLI BORLOTTI", {"400 GR"}, 4, 1.00, 2.20},
        {113, "CECI LESSATI", {"400 GR"}, 4, 1.00, 2.20},
        {114, "TONNO ALL'OLIO D'OLIVA", {"240 GR", "160 GR"}, 10, 8.00, 16.00},
        {121, "OLIO EXTRAVERGINE D'OLIVA", {"1 LT", "750 ML", "500 ML"}, 4, 3.50, 9.00},
        {121, "OLIO DI SEMI DI GIRASOLE", {"1 LT"}, 10, 1.20, 2.40},
        {122, "ACETO DI VINO BIANCO", {"1 LT"}, 22, 0.50, 1.20},
        {122, "ACETO BALSAMICO DI MODENA", {"250 ML", "500 ML"}, 22, 6.00, 16.00},
        {123, "SALE MARINO GROSSO", {"1 KG"}, 10, 0.20, 0.50},
        {131, "FROLLINI AL BURRO", {"350 GR", "700 GR"}, 10, 2.60, 6.00},
        {131, "BISCOTTI INTEGRALI", {"400 GR"}, 10, 2.50, 5.20},
        {132, "CONFETTURA DI ALBICOCCHE", {"340 GR"}, 10, 3.20, 7.00},
        {132, "CREMA SPALMABILE ALLE NOCCIOLE", {"400 GR"}, 10, 4.50, 9.00},
        {133, "ZUCCHERO SEMOLATO", {"1 KG"}, 10, 0.70, 1.10},
        {133, "FARINA DI GRANO TENERO 00", {"1 KG"}, 4, 0.40, 0.90},
        {141, "CAFFE' MACINATO MOKA", {"250 GR", "1 KG"}, 22, 7.50, 14.00},
        {141, "CAFFE' IN GRANI", {"1 KG"}, 22, 8.00, 16.00},
        {142, "TE' NERO IN FILTRI", {"50 GR"}, 10, 20.00, 50.00},
        {142, "CAMOMILLA IN FILTRI", {"30 GR"}, 10, 30.00, 66.00},
        {201, "ACQUA MINERALE NATURALE", {"1,5 LT", "500 ML", "6X1,5 LT"}, 22, 0.08, 0.25},
        {202, "ACQUA MINERALE FRIZZANTE", {"1,5 LT", "6X1,5 LT"}, 22, 0.08, 0.25},
        {211, "VINO ROSSO CHIANTI DOCG", {"750 ML"}, 22, 4.30, 11.30},
        {211, "VINO MONTEPULCIANO D'ABRUZZO", {"750 ML"}, 22, 3.30, 8.70},
        {212, "VINO BIANCO VERMENTINO", {"750 ML"}, 22, 4.00, 10.00},
        {212, "PROSECCO DOC", {"750 ML"}, 22, 5.00, 11.90},
        {213, "BIRRA CHIARA", {"330 ML", "660 ML", "6X330 ML"}, 22, 1.40, 4.20},
        {221, "ARANCIATA", {"1,5 LT", "330 ML"}, 22, 0.40, 1.80},
        {221, "CHINOTTO", {"1 LT"}, 22, 0.50, 1.20},
        {222, "SUCCO DI PESCA", {"1 LT", "200 ML"}, 22, 0.70, 1.90},
        {301, "MELE GOLDEN", {"KG"}, 4, 0.80, 1.60},
        {301, "PERE ABATE", {"KG"}, 4, 1.00, 1.90},
        {301, "BANANE", {"KG"}, 4, 0.90, 1.40},
        {302, "ARANCE TAROCCO", {"KG"}, 4, 0.70, 1.40},
        {302, "LIMONI", {"KG", "500 GR"}, 4, 1.00, 2.00},
        {311, "POMODORI DATTERINI", {"KG", "250 GR"}, 4, 1.50, 3.20},
        {311, "ZUCCHINE", {"KG"}, 4, 1.00, 2.20},
        {311, "PATATE", {"KG", "2 KG"}, 4, 0.50, 0.90},
        {312, "INSALATA LATTUGA", {"KG"}, 4, 1.20, 2.40},
        {312, "RUCOLA", {"125 GR"}, 4, 5.00, 9.00},
        {401, "PROSCIUTTO CRUDO STAGIONATO", {"KG", "100 GR"}, 10, 14.00, 26.00},
        {401, "PROSCIUTTO COTTO", {"KG", "120 GR"}, 10, 9.00, 16.00},
        {402, "SALAME NOSTRANO", {"KG"}, 10, 10.00, 18.00},
        {402, "MORTADELLA", {"KG"}, 10, 6.00, 11.00},
        {411, "PARMIGIANO REGGIANO 24 MESI", {"KG", "250 GR"}, 4, 14.00, 22.00},
        {411, "PECORINO ROMANO", {"KG"}, 4, 11.00, 17.00},
        {412, "MOZZARELLA DI LATTE VACCINO", {"125 GR", "250 GR"}, 4, 5.50, 9.50},
        {412, "RICOTTA FRESCA", {"250 GR"}, 4, 3.50, 6.50},
        {501, "LATTE INTERO FRESCO", {"1 LT", "500 ML"}, 4, 0.75, 1.20},
        {501, "LATTE PARZ. SCREMATO UHT", {"1 LT"}, 4, 0.60, 1.00},
        {502, "YOGURT BIANCO INTERO", {"125 GR", "500 GR"}, 4, 2.40, 4.80},
        {511, "UOVA FRESCHE ALLEVATE A TERRA", {"6 PZ", "10 PZ"}, 4, 0.15, 0.32},
        {512, "BURRO", {"250 GR"}, 4, 6.00, 10.00},
        {512, "PANNA DA CUCINA", {"200 ML"}, 4, 3.50, 6.50},
        {601, "PANE CASERECCIO", {"KG"}, 4, 1.80, 3.20},
        {601, "FOCACCIA ALL'OLIO", {"KG"}, 10, 4.00, 7.00},
        {602, "GRISSINI TORINESI", {"250 GR"}, 4, 3.20, 6.00},
        {602, "CRACKERS SALATI", {"500 GR"}, 10, 2.40, 4.40},
        {701, "SPINACI SURGELATI", {"750 GR"}, 4, 1.40, 2.80},
        {701, "PISELLI FINI SURGELATI", {"450 GR"}, 4, 2.00, 3.80},
        {702, "GELATO ALLA VANIGLIA", {"500 GR"}, 10, 4.00, 8.00},
        {703, "BASTONCINI DI MERLUZZO", {"450 GR"}, 10, 5.50, 9.50},
        {801, "FETTINE DI VITELLONE", {"KG"}, 10, 12.00, 19.00},
        {801, "MACINATO SCELTO DI BOVINO", {"KG", "500 GR"}, 10, 7.50, 12.00},
        {802, "PETTO DI POLLO A FETTE", {"KG"}, 10, 7.00, 11.00},
        {901, "DETERSIVO LAVATRICE LIQUIDO", {"2 LT"}, 22, 1.20, 3.00},
        {901, "AMMORBIDENTE CONCENTRATO", {"1 LT"}, 22, 1.00, 2.50},
        {902, "DETERSIVO PIATTI AL LIMONE", {"1 LT"}, 22, 0.60, 1.60},
        {902, "SGRASSATORE UNIVERSALE", {"750 ML"}, 22, 1.60, 3.60},
        {911, "CARTA IGIENICA", {"4 PZ", "8 PZ"}, 22, 0.25, 0.55},
        {911, "ROTOLONI CARTA CUCINA", {"2 PZ"}, 22, 0.60, 1.20},
        {951, "QUOTIDIANO NAZIONALE", {"1 PZ"}, 4, 1.20, 1.60},
        {952, "SETTIMANALE DI CUCINA", {"1 PZ"}, 4, 1.50, 2.80},
    };
    return v;
}

const std::vector<std::string>& demoQualifiers() {
    static const std::vector<std::string> v{
        "",          "",          "",        "", "", "", "BIO", "CLASSICO", "TRADIZIONALE",
        "LINEA ORO", "SELEZIONE", "ITALIANO"};
    return v;
}

const DemoSupplier& supplierByCode(int code) {
    for (const auto& s : demoSuppliers())
        if (s.code == code) return s;
    throw Error("Fornitore di prova sconosciuto: " + std::to_string(code), ErrorKind::NotFound);
}

const DemoSubgroup& subgroupByCode(int code) {
    for (const auto& s : demoSubgroups())
        if (s.code == code) return s;
    throw Error("Sottogruppo di prova sconosciuto: " + std::to_string(code), ErrorKind::NotFound);
}

const DemoGroup& groupOf(const DemoSubgroup& subgroup) {
    for (const auto& g : demoGroups())
        if (g.code == subgroup.group) return g;
    throw Error("Gruppo di prova sconosciuto: " + std::to_string(subgroup.group),
                ErrorKind::NotFound);
}

const DemoDepartment& departmentByCode(int code) {
    for (const auto& d : demoDepartments())
        if (d.code == code) return d;
    throw Error("Reparto di prova sconosciuto: " + std::to_string(code), ErrorKind::NotFound);
}

}  // namespace cl::demo
