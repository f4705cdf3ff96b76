// Loaded into the program by the crash tests (LD_PRELOAD): the Nth rename to a
// name that starts with a given prefix ends the program with SIGKILL just
// before it happens. The run then stops at a known step however fast the disk
// is, with the first N - 1 of those renames done.
//
//   QUORVANE_E2E_KILL_AT_RENAME=PREFIX:N
//
// Every rename of a run starts with renameat2 (the fallbacks for file systems
// without RENAME_NOREPLACE come after it), so counting its calls counts steps.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::atomic<long> g_seen{0};

bool Matches(const char* newPath, long& target) {
    const char* wanted = std::getenv("QUORVANE_E2E_KILL_AT_RENAME");
    if (!wanted || !newPath)
        return false;
    const char* colon = std::strrchr(wanted, ':');
    if (!colon)
        return false;
    target = std::strtol(colon + 1, nullptr, 10);
    const char* slash = std::strrchr(newPath, '/');
    const char* name = slash ? slash + 1 : newPath;
    const std::size_t prefix = static_cast<std::size_t>(colon - wanted);
    return std::strncmp(name, wanted, prefix) == 0;
}

} // namespace

extern "C" int renameat2(int oldFolder, const char* oldPath, int newFolder, const char* newPath,
                         unsigned int flags) {
    using Real = int (*)(int, const char*, int, const char*, unsigned int);
    static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "renameat2"));
    long target = 0;
    if (Matches(newPath, target) && g_seen.fetch_add(1) + 1 == target)
        raise(SIGKILL);
    return real(oldFolder, oldPath, newFolder, newPath, flags);
}
