#pragma once
// The listings of a plan's folders, made one folder ahead of the planning on
// a thread of their own: while the kernel reads the next folder (or this
// one), the plan works on the rows it already has.

#include "planner/FolderGroups.h"
#include "planner/RenamePlan.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace quorvane {

class ListingsAhead {
public:
    // Without `ahead`, each listing is made when it is taken, on the caller's
    // thread: a small plan does not pay for a thread.
    ListingsAhead(const FolderGroups& groups, FolderLister& lister, bool ahead);
    ~ListingsAhead();
    ListingsAhead(const ListingsAhead&) = delete;
    ListingsAhead& operator=(const ListingsAhead&) = delete;

    // The facts of the next folder, in the groups' order; a folder none of
    // whose rows changes is not listed and gets empty facts.
    FolderFacts TakeNext();

private:
    FolderFacts Describe(std::size_t f);
    void Run();

    const FolderGroups& m_groups;
    FolderLister& m_lister;
    std::size_t m_taken = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<FolderFacts> m_ready; // listed and not yet taken, in order
    std::exception_ptr m_failure;    // what the thread's listing threw
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace quorvane
