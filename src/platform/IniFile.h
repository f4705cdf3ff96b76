#pragma once
// Settings file with the semantics of the classic profile calls: section and
// key names match without regard to letter case and outer blanks, a written
// key replaces its value in place or is appended to its section, nothing is
// ever removed. Reads CRLF and LF; saves atomically.

#include <string>
#include <vector>

namespace quorvane {

class IniFile {
public:
    explicit IniFile(std::string path);

    // Reads the file; a missing file reads as empty. False on a read error.
    [[nodiscard]] bool Load();
    // Writes through a temporary file and a rename; on failure the previous
    // file stays whole and false is returned.
    [[nodiscard]] bool Save() const;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    long ReadInteger(const std::string& section, const std::string& key, long defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    double ReadFloat(const std::string& section, const std::string& key, double defaultValue) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, long value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void WriteFloat(const std::string& section, const std::string& key, double value);

    const std::string& Path() const { return m_path; }

private:
    struct Entry {
        std::string key;
        std::string value;
        bool keyed = true; // false: a line kept as it stands (comment, blank, no "=")
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        bool headed = true; // false: the lines before the first section
    };
    const Entry* Find(const std::string& section, const std::string& key) const;
    Section* FindSection(const std::string& section);
    std::string Serialize() const;

    std::string m_path;
    std::vector<Section> m_sections;
};

} // namespace quorvane
