#pragma once

namespace quorvane {

// Makes the C library give every large block (a batch of rows, the list's
// row array) its own mapping, returned to the system as soon as it is freed.
// By default the threshold for that grows with the largest block freed so
// far, and then freed batches stay resident in the heap of each thread that
// made them: with a million rows handed from the walk's threads to the
// window, several megabytes per thread. Affects the whole process; calling it
// again does nothing more.
void ReturnLargeBlocksAtOnce();

} // namespace quorvane
