#pragma once
#include <string>

namespace cl {

// The process-wide values that start-up leaves for every screen and run.
struct AppState {
    char lettera_drive = 'C';
    std::string nomedb_suite;  // Windows paths, as the data name them
    std::string cartella_db;
    std::string nomedb;
    std::string nomedb_fisso = "C:\\orvik\\DATI.MDB";
    int nsede = 1;
    std::string chiave_parametri = "01L";
    std::string fl_costo = "0", fl_ricarica = "0", fl_prezzo = "0", fl_crea = "0";
    long long codice_fornitore = 0;
    std::string nome_fornitore;  // 45 characters once set
    int tipo_filtro = 4;
    std::string fl_arrotonda;  // "S", "N", or blank until the rounding box is used
    std::string company;       // first company of the suite, for the report heading
};

}  // namespace cl
