#include "filelist/HelperPacer.h"

namespace quorvane {

HelperPacer::Period HelperPacer::Next(const Period& last, std::size_t work, Duration took) {
    const double seconds = std::chrono::duration<double>(took).count();
    const double rate = seconds > 0 ? static_cast<double>(work) / seconds : 0.0;
    (last.helping ? m_helpedRate : m_aloneRate) = rate;
    if (m_aloneRate < 0)
        return {false, kProbe};
    if (m_helpedRate < 0)
        return {true, kProbe};
    // After a probe, a long period of the better kind; after that, a probe
    // of the other kind, which measures it afresh.
    if (last.length > kProbe)
        return {!last.helping, kProbe};
    if (m_helpedRate > m_aloneRate * kPaysAbove)
        return {true, kKeepHelping};
    return {false, kKeepResting};
}

} // namespace quorvane
