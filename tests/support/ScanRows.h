#pragma once
// Every row of one whole scan, in the order the batches arrived: for tests and
// benchmarks that need the walk's result and not its hand-overs.

#include "filelist/FolderScan.h"

namespace quorvane::test {

// `started` receives whether the scan could start at all (a folder that is no
// folder gives no rows either way).
inline FileRows ScanAllRows(const ScanRequest& request, const ScanOptions& options = {},
                            bool* started = nullptr) {
    FileRows rows;
    FolderScan scan(
        [&](FileRows&& batch) {
            for (FileRow& row : batch)
                rows.push_back(std::move(row));
        },
        {}, options);
    const bool ok = scan.Start(request);
    if (started)
        *started = ok;
    scan.Wait();
    return rows;
}

} // namespace quorvane::test
