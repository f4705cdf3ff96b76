#include "rules/DeleteRule.h"

#include "rules/CharacterPositions.h"
#include "rules/WholeNumber.h"

#include <algorithm>

namespace quorvane {

namespace {

void DeleteWithin(std::string& text, const CharacterPositions& characters, std::int64_t position,
                  std::int64_t count) {
    const std::int64_t length = static_cast<std::int64_t>(characters.Count());
    if (position < 1 || position > length || count <= 0)
        return;
    const std::int64_t last = std::min(length, position - 1 + count); // 1-based, inclusive
    const std::size_t from = characters.ByteOffset(static_cast<std::size_t>(position - 1));
    const std::size_t to = characters.ByteOffset(static_cast<std::size_t>(last));
    text.erase(from, to - from);
}

} // namespace

DeleteOutcome PreviewDelete(std::vector<std::string>& names, const DeleteSettings& settings,
                            const std::vector<bool>& folders) {
    DeleteOutcome outcome;
    const std::int64_t position = BoxNumber(settings.position, 1, 0, outcome.refilledPosition);
    const std::int64_t count = BoxNumber(settings.count, 0, 1, outcome.refilledCount);
    EditBaseNames(names, folders, [&](std::string& name, const CharacterPositions& base) {
        // From the end, the run is the `count` characters ending at the
        // position-th last one; a run that would start before the first
        // character deletes nothing (it is not cut, unlike at the far end).
        const std::int64_t from =
            settings.fromEnd ? static_cast<std::int64_t>(base.Count()) - position - count + 2
                             : position;
        DeleteWithin(name, base, from, count);
    });
    return outcome;
}

} // namespace quorvane
