#pragma once
#include <filesystem>
#include <string>

namespace cl::store {

// Windows paths in the data stay as they are; on this system drive X is the folder <root>/X/,
// and each segment matches case-insensitively when the exact name is absent, as on Windows.
class WindowsPathMapper {
  public:
    WindowsPathMapper(std::filesystem::path root, char currentDrive);

    std::filesystem::path map(const std::string& windowsPath) const;
    char currentDrive() const { return drive_; }
    const std::filesystem::path& root() const { return root_; }

  private:
    std::filesystem::path root_;
    char drive_;
};

// The per-user default root: $CONTROLLO_LISTINO_ROOT, else $XDG_DATA_HOME/controllo-listino,
// else ~/.local/share/controllo-listino.
std::filesystem::path defaultRoot();

}  // namespace cl::store
