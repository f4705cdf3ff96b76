#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace quorvane::test {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    Shell("chattr -R -i '" + m_path + "' >/dev/null 2>&1");
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Write(const std::string& relative, const std::string& content) const {
    const std::filesystem::path full = m_path + relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out << content;
    return full.string();
}

std::string TempDir::MakeDir(const std::string& relative) const {
    std::filesystem::create_directories(m_path + relative);
    return m_path + relative + (relative.empty() || relative.back() == '/' ? "" : "/");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

} // namespace quorvane::test
