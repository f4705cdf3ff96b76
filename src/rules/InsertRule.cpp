#include "rules/InsertRule.h"

#include "rules/CharacterPositions.h"
#include "rules/WholeNumber.h"

#include <algorithm>

namespace quorvane {

namespace {

void InsertWithin(std::string& text, const CharacterPositions& characters,
                  std::string_view insertion, std::int64_t position) {
    if (insertion.empty())
        return;
    const std::int64_t count = static_cast<std::int64_t>(characters.Count());
    const std::int64_t index = std::clamp<std::int64_t>(position, 1, count + 1) - 1;
    text.insert(characters.ByteOffset(static_cast<std::size_t>(index)), insertion);
}

} // namespace

InsertOutcome PreviewInsert(std::vector<std::string>& names, const InsertSettings& settings,
                            const std::vector<bool>& folders) {
    InsertOutcome outcome;
    const std::int64_t position = BoxNumber(settings.position, 1, 1, outcome.refilledPosition);
    EditBaseNames(names, folders, [&](std::string& name, const CharacterPositions& base) {
        // Position 1 from the end appends to the base name: p - 1 characters
        // of the base name follow the inserted text.
        const std::int64_t at =
            settings.fromEnd ? static_cast<std::int64_t>(base.Count()) - position + 2 : position;
        InsertWithin(name, base, settings.text, at);
    });
    return outcome;
}

} // namespace quorvane
