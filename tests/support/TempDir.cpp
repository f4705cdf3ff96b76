#include "support/TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvane::test {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern + "/";
}

TempDir::~TempDir() {
    Shell("chattr -R -i '" + m_path + "' >/dev/null 2>&1; chmod -R u+w '" + m_path +
          "' >/dev/null 2>&1");
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

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::time_t LocalToUtc(int year, int month, int day, int hour, int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

int Shell(const std::string& command) {
    return std::system(command.c_str());
}

bool MakeImmutable(const std::string& path) {
    return Shell("chattr +i '" + path + "' >/dev/null 2>&1") == 0;
}

bool LockFolder(const std::string& folder) {
    if (!MakeImmutable(folder))
        ::chmod(folder.c_str(), 0555);
    return ::access(folder.c_str(), W_OK) != 0;
}

void UnlockFolder(const std::string& folder) {
    Shell("chattr -i '" + folder + "' >/dev/null 2>&1");
    ::chmod(folder.c_str(), 0755);
}

} // namespace quorvane::test
