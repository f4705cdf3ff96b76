#include "planner/ListingsAhead.h"

#include <utility>

namespace quorvane {
namespace {

// One listing waits while the plan works on another: two at most are held.
constexpr std::size_t kMostReady = 1;

} // namespace

ListingsAhead::ListingsAhead(const FolderGroups& groups, FolderLister& lister, bool ahead)
    : m_groups(groups), m_lister(lister) {
    if (ahead && groups.Count() > 0)
        m_thread = std::thread([this] { Run(); });
}

ListingsAhead::~ListingsAhead() {
    if (!m_thread.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

FolderFacts ListingsAhead::Describe(std::size_t f) {
    return m_groups.AnyChanged(f) ? m_lister.Describe(m_groups.Path(f)) : FolderFacts{};
}

FolderFacts ListingsAhead::TakeNext() {
    if (!m_thread.joinable())
        return Describe(m_taken++);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_ready.empty() || m_failure; });
    if (m_ready.empty())
        std::rethrow_exception(m_failure);
    FolderFacts facts = std::move(m_ready.front());
    m_ready.pop_front();
    ++m_taken;
    lock.unlock();
    m_changed.notify_all();
    return facts;
}

void ListingsAhead::Run() {
    for (std::size_t f = 0; f < m_groups.Count(); ++f) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop || f < m_taken + kMostReady; });
            if (m_stop)
                return;
        }
        try {
            FolderFacts facts = Describe(f);
            const std::lock_guard lock(m_mutex);
            m_ready.push_back(std::move(facts));
        } catch (...) {
            const std::lock_guard lock(m_mutex);
            m_failure = std::current_exception();
            m_changed.notify_all();
            return;
        }
        m_changed.notify_all();
    }
}

} // namespace quorvane
