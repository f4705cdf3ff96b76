#pragma once
// Tells a run that a live program is still carrying out from one that was cut
// short. Every program running a journalled run holds a shared lock on a file
// beside the history; the system drops it when the program ends in any way,
// a kill included. Nobody holding it means no run is going on.

#include <string>
#include <utility>

namespace quorvane {

class RunLock {
public:
    explicit RunLock(std::string path) : m_path(std::move(path)) {}
    ~RunLock() { Release(); }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Held from before a run's plan is recorded until its end is. A lock
    // that cannot be taken (no lock file can be made) leaves the run free
    // to go on: the lock only keeps another program from giving it back.
    void Hold();
    void Release();

    // True when some program, this one included, holds the lock now.
    bool HeldByARun() const;

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace quorvane
