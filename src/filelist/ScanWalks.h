#pragma once
// The two walks of a scan. They give exactly the same rows in the same order;
// the single-thread walk is the reference the parallel one is held to.

#include "filelist/FolderScan.h"
#include "filelist/RowBatcher.h"

#include <atomic>

namespace quorvane {

void WalkOnOneThread(const ScanRequest& request, const std::atomic<bool>& stop,
                     RowBatcher& batcher);
void WalkInParallel(const ScanRequest& request, const std::atomic<bool>& stop, RowBatcher& batcher,
                    const ScanOptions& options);

} // namespace quorvane
