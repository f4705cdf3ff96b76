#include "planner/RenamePlan.h"

#include "planner/NameForms.h"
#include "platform/Rename.h"

#include <deque>
#include <string_view>
#include <unordered_map>

namespace quorvane {
namespace {

// Everything the plan knows of one folder. Keys are the names as the folder
// compares them: the bytes themselves, or the folded form where the folder
// ignores case.
struct NameSlot {
    std::size_t source = kNoRow; // the row renaming the file of this name
    std::size_t target = kNoRow; // the first row that gets this name
    bool listed = false;         // the folder holds a file of this name
};

struct FolderState {
    FolderFacts facts;
    std::deque<std::string> foldedStore; // keeps folded keys at a fixed address
    // Every name of the folder and the batch, hashed once: rows keep
    // pointers to their slots (stable in a node-based map).
    std::unordered_map<std::string_view, NameSlot> names;
    bool anyNonAscii = false;
    unsigned nextTemporary = 0;

    std::string_view Key(std::string_view name) {
        if (!facts.ignoresCase)
            return name;
        return foldedStore.emplace_back(FoldedForm(name));
    }
};

struct RowKeys {
    FolderState* folder = nullptr;
    NameSlot* from = nullptr;
    NameSlot* to = nullptr;
};

bool FatRefuses(std::string_view name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("\"*:<>?\\|").find(c) != std::string_view::npos)
            return true;
    }
    // FAT drops trailing dots and blanks, so the file would get another name.
    return name.back() == '.' || name.back() == ' ';
}

bool IsEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

bool MarkCannotHold(std::string_view to, const FolderFacts& facts, RowVerdict& verdict) {
    if (!IsEntryName(to) || (facts.fatLike && FatRefuses(to))) {
        verdict.otherName = std::string(to);
    } else if (to.size() > facts.nameMax) {
        verdict.tooLong = true;
        verdict.nameBytes = to.size();
    } else {
        return false;
    }
    verdict.plan = RowPlan::CannotHold;
    verdict.refused = true;
    return true;
}

std::string TemporaryName(FolderState& folder) {
    for (;;) {
        std::string name = ".qv-swap-" + std::to_string(folder.nextTemporary++);
        const std::string_view key = name;
        if (!folder.names.count(key))
            return name;
    }
}

// Two names of the folder or the batch that come out the same in NFC.
class LookAlikes {
public:
    void Add(std::string_view name) {
        auto& pair = m_byNfc[NfcForm(name)];
        if (pair.first.empty())
            pair.first = name;
        else if (pair.second.empty() && pair.first != name)
            pair.second = name;
    }
    // Another name than `name` with its NFC, or empty.
    std::string_view Other(std::string_view name) const {
        const auto found = m_byNfc.find(NfcForm(name));
        if (found == m_byNfc.end())
            return {};
        return found->second.first != name ? found->second.first : found->second.second;
    }

private:
    std::unordered_map<std::string, std::pair<std::string_view, std::string_view>> m_byNfc;
};

} // namespace

RenamePlan PlanRenames(const std::vector<PlanRow>& rows, FolderLister& lister) {
    RenamePlan plan;
    const std::size_t count = rows.size();
    plan.rows.resize(count);
    std::vector<RowKeys> keys(count);
    std::deque<FolderState> folders;
    std::unordered_map<std::string_view, FolderState*> folderByPath;
    const std::string* lastFolder = nullptr;
    FolderState* lastState = nullptr;

    auto changed = [&](std::size_t i) { return plan.rows[i].plan != RowPlan::Unchanged; };
    auto moving = [&](std::size_t i) { return changed(i) && !plan.rows[i].refused; };

    // Folders, names that cannot be held and rows that share a target.
    for (std::size_t i = 0; i < count; ++i) {
        const PlanRow& row = rows[i];
        RowVerdict& verdict = plan.rows[i];
        if (row.folder != lastFolder) {
            auto [where, added] = folderByPath.try_emplace(*row.folder, nullptr);
            if (added) {
                FolderState& folder = folders.emplace_back();
                folder.facts = lister.Describe(*row.folder);
                folder.names.reserve(folder.facts.names.size() + count);
                for (const std::string& name : folder.facts.names) {
                    folder.names[folder.Key(name)].listed = true;
                    folder.anyNonAscii = folder.anyNonAscii || !IsAscii(name);
                }
                where->second = &folder;
            }
            lastFolder = row.folder;
            lastState = where->second;
        }
        FolderState& folder = *lastState;
        if (row.from == row.to) {
            verdict.plan = RowPlan::Unchanged;
            continue;
        }
        RowKeys& key = keys[i];
        key.folder = &folder;
        key.from = &folder.names[folder.Key(row.from)];
        if (key.from->source == kNoRow)
            key.from->source = i;
        if (MarkCannotHold(row.to, folder.facts, verdict))
            continue;
        key.to = &folder.names[folder.Key(row.to)];
        folder.anyNonAscii = folder.anyNonAscii || !IsAscii(row.to);
        if (key.to->target == kNoRow) {
            key.to->target = i;
        } else {
            const std::size_t winner = key.to->target;
            verdict.plan = RowPlan::SameTarget;
            verdict.otherRow = winner;
            verdict.otherName = std::string(rows[winner].to);
            verdict.refused = true;
            RowVerdict& winning = plan.rows[winner];
            if (winning.plan == RowPlan::Ready) {
                winning.plan = RowPlan::SameTarget;
                winning.otherRow = i;
                winning.otherName = std::string(row.to);
            }
        }
    }

    // Targets that exist and are not moved away. A refused row keeps its file
    // where it is, so the row whose target that is fails in turn.
    std::vector<std::size_t> refusedRows;
    auto refuseAsExisting = [&](std::size_t i) {
        RowVerdict& verdict = plan.rows[i];
        verdict.plan = RowPlan::Exists;
        verdict.otherRow = kNoRow;
        verdict.otherName = std::string(rows[i].to);
        verdict.refused = true;
        refusedRows.push_back(i);
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (!changed(i))
            continue;
        if (plan.rows[i].refused) {
            refusedRows.push_back(i);
            continue;
        }
        const RowKeys& key = keys[i];
        if (key.to == key.from || key.to->source != kNoRow)
            continue;
        if (key.to->listed)
            refuseAsExisting(i);
    }
    for (std::size_t done = 0; done < refusedRows.size(); ++done) {
        const RowKeys& key = keys[refusedRows[done]];
        const std::size_t waiting = key.from->target;
        if (waiting != kNoRow && moving(waiting))
            refuseAsExisting(waiting);
    }
    // Look-alikes need a name outside ASCII on one side at least.
    for (FolderState& folder : folders) {
        if (!folder.anyNonAscii)
            continue;
        LookAlikes lookAlikes;
        for (const std::string& name : folder.facts.names) {
            const std::size_t source = folder.names[folder.Key(name)].source;
            if (source == kNoRow || !moving(source))
                lookAlikes.Add(name);
        }
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < count; ++i) {
            if (keys[i].folder == &folder && moving(i)) {
                lookAlikes.Add(rows[i].to);
                members.push_back(i);
            }
        }
        for (const std::size_t i : members) {
            const std::string_view other = lookAlikes.Other(rows[i].to);
            if (!other.empty() && other != rows[i].from && plan.rows[i].plan == RowPlan::Ready) {
                plan.rows[i].plan = RowPlan::LookAlike;
                plan.rows[i].otherName = std::string(other);
            }
        }
    }

    // The order of the moves: each chain from its free end back, then each
    // cycle opened through a temporary name.
    std::vector<std::size_t> after(count, kNoRow);
    std::vector<bool> waits(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        if (!moving(i))
            continue;
        const std::size_t next = keys[i].from->target;
        if (next != kNoRow && next != i && moving(next)) {
            after[i] = next;
            waits[next] = true;
        }
    }
    plan.steps.reserve(count);
    std::vector<bool> placed(count, false);
    auto place = [&](std::size_t i) {
        plan.steps.push_back(
            {i, *rows[i].folder, std::string(rows[i].from), std::string(rows[i].to), false});
        placed[i] = true;
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (!moving(i) || waits[i])
            continue;
        for (std::size_t row = i; row != kNoRow; row = after[row])
            place(row);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!moving(i) || placed[i])
            continue;
        const std::string temporary = TemporaryName(*keys[i].folder);
        plan.steps.push_back({i, *rows[i].folder, std::string(rows[i].from), temporary, true});
        placed[i] = true;
        for (std::size_t row = after[i]; row != i; row = after[row])
            place(row);
        plan.steps.push_back({i, *rows[i].folder, temporary, std::string(rows[i].to), false});
    }

    for (const RowVerdict& verdict : plan.rows)
        plan.conflicts += verdict.IsConflict() ? 1 : 0;
    return plan;
}

FileRowsPlan PlanFileRows(const FileRows& rows, FolderLister& lister) {
    FileRowsPlan planned;
    std::vector<PlanRow> planRows;
    for (std::size_t i = 0; i < rows.size() && rows[i].folder; ++i) {
        if (rows[i].newName.empty())
            continue;
        planRows.push_back({&*rows[i].folder, rows[i].originalName, rows[i].newName});
        planned.listRow.push_back(i);
    }
    planned.plan = PlanRenames(planRows, lister);
    for (RowVerdict& verdict : planned.plan.rows) {
        if (verdict.otherRow != kNoRow)
            verdict.otherRow = planned.listRow[verdict.otherRow];
    }
    return planned;
}

std::string ConflictText(const RowVerdict& verdict) {
    switch (verdict.plan) {
    case RowPlan::SameTarget:
        return "Same target as row " + std::to_string(verdict.otherRow + 1) + ": " +
               verdict.otherName;
    case RowPlan::Exists:
        return "Exists: " + verdict.otherName;
    case RowPlan::LookAlike:
        return "Looks like: " + verdict.otherName;
    case RowPlan::CannotHold:
        if (verdict.tooLong)
            return "Name too long (" + std::to_string(verdict.nameBytes) + " bytes)";
        return "Not allowed here: " + verdict.otherName;
    case RowPlan::Unchanged:
    case RowPlan::Ready:
        break;
    }
    return {};
}

} // namespace quorvane
