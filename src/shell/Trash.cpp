#include "shell/Trash.h"

namespace quorvane {

std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> kept;
    for (const std::string& path : paths)
        if (!MoveToTrash(path))
            kept.push_back(path);
    return kept;
}

} // namespace quorvane
