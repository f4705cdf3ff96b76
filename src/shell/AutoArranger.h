#pragma once
// Keeps the list ordered by the window's sort state while automatic
// arrangement is on: after each batch of rows the scan adds, and whenever an
// "Original Name" changes. It works at the next turn of the event loop, so a
// burst of batches costs one pass, and never while someone is still walking
// the rows it was told about.

#include "filelist/RowOrder.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace quorvane {

class FileListModel;
class FileListView;

class AutoArranger : public QObject {
    Q_OBJECT
public:
    // Arranges the rows of `view`'s model by what `sortState` says at the time.
    AutoArranger(QObject* owner, FileListView& view, std::function<SortState()> sortState);

private:
    void Schedule();
    void Arrange();

    FileListView& m_view;
    FileListModel& m_model;
    std::function<SortState()> m_sortState;
    bool m_scheduled = false;
    bool m_arranging = false;
    // What the last pass left in order.
    std::size_t m_orderedRows = 0;
    std::uint64_t m_names = 0;
    SortState m_state;
};

} // namespace quorvane
