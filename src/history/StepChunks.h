#pragma once
// Steps are stored packed, many to a row of the steps table: a run of
// 100,000 renames is then a hundred inserts instead of 100,000, which keeps
// the journal's cost a small fraction of the renames.

#include "runs/RunSteps.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvane {

// Format 2 carries each file's stamp; format 1 (older records) does not.
inline constexpr std::int64_t kChunkFormat = 2;

// Appends one step, its folder given by number, to a chunk of the current format.
void AppendStep(std::string& chunk, const StepView& step, std::uint64_t folderId);

// Reads one chunk into `steps`. False when the bytes do not hold exactly
// `count` whole steps of a known folder.
bool ReadChunk(std::string_view data, std::int64_t count, std::int64_t format,
               const std::unordered_map<std::uint64_t, std::string>& folders,
               std::vector<RecordedStep>& steps);

} // namespace quorvane
