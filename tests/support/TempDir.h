#pragma once
// A fresh temporary folder for one test, removed with everything in it
// (immutable flags and taken write bits are given back first, so tests may
// lock what they made).

#include <ctime>
#include <string>
#include <vector>

namespace quorvane::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in "/".
    const std::string& Path() const { return m_path; }
    // Creates a file (and missing parent folders) with the given content; returns its full path.
    std::string Write(const std::string& relative, const std::string& content = {}) const;
    std::string MakeDir(const std::string& relative) const;

private:
    std::string m_path;
};

// The names in a folder, sorted.
std::vector<std::string> Listing(const std::string& folder);

// The whole content of a file, or empty text when it cannot be read.
std::string ReadFile(const std::string& path);

// The moment of a local date and time, in seconds since the epoch (UTC).
std::time_t LocalToUtc(int year, int month, int day, int hour, int minute, int second);

// Runs a shell command; returns its exit status.
int Shell(const std::string& command);

// Makes a folder refuse new, renamed and removed entries for this process:
// chattr +i where that is allowed (root ignores permission bits), else its
// write bits are taken away, which stops every other user. False when the
// folder can still be written.
bool LockFolder(const std::string& folder);
void UnlockFolder(const std::string& folder);

// chattr +i on a file or folder; false where it is refused (not root, or a
// file system without the flag). Permission bits cannot stand in for it
// where the owner may change them back.
bool MakeImmutable(const std::string& path);

} // namespace quorvane::test
