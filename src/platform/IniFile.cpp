#include "platform/IniFile.h"

#include "platform/FileWrite.h"
#include "platform/PrivateFile.h"
#include "text/AsciiCase.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <fcntl.h>
#include <optional>
#include <random>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// Values are kept byte for byte (only a line end cannot be part of one), so a
// text with blanks at either end survives a save and a load. Names are
// compared with their outer blanks removed and without regard to A-Z case.

namespace quorvane {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return EqualIgnoringAsciiCase(Trim(a), Trim(b));
}

// A line end inside a value would split it into two lines of the file.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// A leading integer: blanks, an optional sign, then decimal digits or "0x" and
// hex digits; what follows the number is ignored ("12px" reads 12). Nothing
// when there is no number or it does not fit a long.
std::optional<long> LeadingInteger(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    unsigned long magnitude = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    const unsigned long limit = negative ? static_cast<unsigned long>(LONG_MAX) + 1 : LONG_MAX;
    if (magnitude > limit)
        return std::nullopt;
    if (negative)
        return magnitude == limit ? LONG_MIN : -static_cast<long>(magnitude);
    return static_cast<long>(magnitude);
}

// A leading number with "." as decimal point, whatever the locale says.
std::optional<double> LeadingNumber(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

bool ReadAll(int fd, std::string& text) {
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

// A fresh file beside `path`, made with O_EXCL so nothing planted under the
// chosen name (a link least of all) is opened. Returns the descriptor, or -1.
int CreateTemporaryBeside(const std::string& path, mode_t mode, std::string& temporary) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::minstd_rand pick(seed());
    for (int attempt = 0; attempt < 64; ++attempt) {
        temporary = path + ".";
        for (int i = 0; i < 8; ++i)
            temporary += kLetters[pick() % (sizeof kLetters - 1)];
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

IniFile::IniFile(std::string path) : m_path(std::move(path)) {}

bool IniFile::Load() {
    m_sections.clear();
    const int fd = OpenOwnFile(m_path, O_RDONLY);
    if (fd < 0)
        return errno == ENOENT;
    std::string text;
    const bool failed = !ReadAll(fd, text);
    ::close(fd);
    if (failed)
        return false;

    Section* current = nullptr;
    // Byte order marks, as some editors add them (one more on every save of
    // some), are not part of the first line. Taking only one would leave the
    // next as the start of a line that the save then writes first, so the
    // file would read otherwise after the save.
    std::size_t start = 0;
    while (text.compare(start, 3, "\xEF\xBB\xBF") == 0)
        start += 3;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        const std::string_view trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            const std::size_t close = trimmed.find(']');
            const std::string_view name = trimmed.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            m_sections.push_back(Section{std::string(Trim(name)), {}, true});
            current = &m_sections.back();
            continue;
        }
        if (!current) {
            m_sections.push_back(Section{{}, {}, false});
            current = &m_sections.back();
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || trimmed.front() == ';')
            current->entries.push_back(Entry{std::string(line), {}, false});
        else
            current->entries.push_back(Entry{std::string(line.substr(0, equals)),
                                             std::string(line.substr(equals + 1)), true});
    }
    return true;
}

std::string IniFile::Serialize() const {
    std::string text;
    for (const Section& section : m_sections) {
        if (section.headed)
            text += "[" + section.name + "]\r\n";
        for (const Entry& entry : section.entries) {
            text += entry.key;
            if (entry.keyed)
                text += "=" + entry.value;
            text += "\r\n";
        }
    }
    return text;
}

bool IniFile::Save() const {
    // A link or another user's file in our file's place is left alone; it was
    // not read either.
    struct stat old {};
    const bool exists = ::lstat(m_path.c_str(), &old) == 0;
    if (exists && OwnFileTroubleAt(m_path) != OwnFileTrouble::None)
        return false;
    // Written beside the old file and renamed over it, so the old file stays
    // whole until the new one is complete on disk. A new file gets the mode
    // the umask gives; a rewritten one keeps its own.
    std::string temporary;
    const int fd = CreateTemporaryBeside(m_path, exists ? (old.st_mode & 0666) : 0666, temporary);
    if (fd < 0)
        return false;
    const bool written = (!exists || ::fchmod(fd, old.st_mode & 07777) == 0) &&
                         WriteAll(fd, Serialize()) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), m_path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

const IniFile::Entry* IniFile::Find(const std::string& section, const std::string& key) const {
    for (const Section& candidate : m_sections) {
        if (!candidate.headed || !SameName(candidate.name, section))
            continue;
        for (const Entry& entry : candidate.entries)
            if (entry.keyed && SameName(entry.key, key))
                return &entry;
        return nullptr; // only the first section of that name counts
    }
    return nullptr;
}

IniFile::Section* IniFile::FindSection(const std::string& section) {
    for (Section& candidate : m_sections)
        if (candidate.headed && SameName(candidate.name, section))
            return &candidate;
    return nullptr;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const Entry* entry = Find(section, key);
    return entry ? entry->value : defaultValue;
}

long IniFile::ReadInteger(const std::string& section, const std::string& key,
                          long defaultValue) const {
    const Entry* entry = Find(section, key);
    return entry ? LeadingInteger(entry->value).value_or(defaultValue) : defaultValue;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key,
                       bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const std::string& section, const std::string& key,
                          double defaultValue) const {
    const Entry* entry = Find(section, key);
    return entry ? LeadingNumber(entry->value).value_or(defaultValue) : defaultValue;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    Section* target = FindSection(section);
    if (!target) {
        m_sections.push_back(Section{OneLine(std::string(Trim(section))), {}, true});
        target = &m_sections.back();
    }
    std::size_t insertAt = target->entries.size();
    bool seenKey = false;
    for (std::size_t i = 0; i < target->entries.size(); ++i) {
        Entry& entry = target->entries[i];
        if (!entry.keyed)
            continue;
        if (SameName(entry.key, key)) {
            entry.value = OneLine(value);
            return;
        }
        insertAt = i + 1;
        seenKey = true;
    }
    // After the section's last key, so blank lines and comments that close the
    // section stay where they are.
    if (!seenKey)
        insertAt = target->entries.size();
    target->entries.insert(target->entries.begin() + static_cast<std::ptrdiff_t>(insertAt),
                           Entry{OneLine(std::string(Trim(key))), OneLine(value), true});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, long value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
    char buffer[64];
    // Shortest form that reads back the same, "." as decimal point: 1 -> "1".
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    WriteString(section, key, std::string(buffer, result.ptr));
}

} // namespace quorvane
