#pragma once
// Whether the walk's helper threads work or rest. A second thread pays when a
// core is free; when another program keeps the cores busy, two threads share
// the one core left and cost more than they save (they hand work to each
// other and wait for each other's turn). The pacer therefore compares the
// walk's progress with and without the helpers and keeps them working only
// while they make it faster, trying again now and then, since the machine
// may have become free.

#include <chrono>
#include <cstddef>

namespace quorvane {

class HelperPacer {
public:
    using Duration = std::chrono::steady_clock::duration;

    struct Period {
        bool helping = false;
        Duration length{};
    };

    // The first period: the walk starts on one thread.
    Period First() const { return {false, kProbe}; }
    // The period after one that went as `last` and did `work` (any measure of
    // progress, such as bytes of entries read) in `took`.
    Period Next(const Period& last, std::size_t work, Duration took);

    // Two threads must walk this much faster than one to be worth it.
    static constexpr double kPaysAbove = 1.15;
    static constexpr Duration kProbe = std::chrono::milliseconds(25);
    static constexpr Duration kKeepHelping = std::chrono::milliseconds(400);
    static constexpr Duration kKeepResting = std::chrono::milliseconds(200);

private:
    double m_aloneRate = -1.0;  // progress per second on one thread, last seen
    double m_helpedRate = -1.0; // and with the helpers
};

} // namespace quorvane
