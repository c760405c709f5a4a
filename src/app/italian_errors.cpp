#include "app/italian_errors.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

#include "store/error.h"

namespace cl {

std::string systemErrorText(int code) {
    switch (code) {
        case ENOENT:
            return "il file o la cartella non esiste";
        case EACCES:
        case EPERM:
            return "permesso negato";
        case EISDIR:
            return "è una cartella, non un file";
        case ENOTDIR:
            return "una parte del percorso non è una cartella";
        case ENOSPC:
            return "disco pieno";
        case EROFS:
            return "il disco è di sola lettura";
        case EIO:
            return "errore di lettura o scrittura del disco";
        case ENOMEM:
            return "memoria insufficiente";
        case ENAMETOOLONG:
            return "nome del file troppo lungo";
        case EMFILE:
        case ENFILE:
            return "troppi file aperti";
        default:
            return "errore di sistema " + std::to_string(code);
    }
}

std::string italianMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const Error*>(&e)) return own->what();
    if (dynamic_cast<const std::bad_alloc*>(&e)) return "Memoria insufficiente.";
    if (auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&e)) {
        std::string text = "Errore sul file";
        if (!fs->path1().empty()) text += " «" + fs->path1().string() + "»";
        return text + ": " + systemErrorText(fs->code().value()) + ".";
    }
    if (auto* sys = dynamic_cast<const std::system_error*>(&e))
        return "Errore di sistema: " + systemErrorText(sys->code().value()) + ".";
    return "Errore interno del programma: l'operazione non è stata completata.";
}

}  // namespace cl
