#include "planner/RenamePlan.h"

#include "planner/NameForms.h"
#include "planner/NameTable.h"
#include "text/EntryName.h"
#include "text/Utf8.h"

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_map>

namespace quorvane {
namespace {

// Everything the plan knows of one name of a folder. Names are keyed as the
// folder compares them: the bytes themselves, or the folded form where the
// folder ignores case.
struct NameSlot {
    std::size_t source = kNoRow; // the row renaming the file of this name
    std::size_t target = kNoRow; // the first row that gets this name
    bool listed = false;         // the folder holds a file of this name
};

struct FolderState {
    FolderFacts facts;
    std::deque<std::string> foldedStore;    // keeps folded keys at a fixed address
    NameTable<NameSlot> names;              // every name of the folder and the batch
    std::vector<std::uint32_t> listedSlots; // the slot of each of facts.names
    bool anyNonAscii = false;
    unsigned nextTemporary = 0;

    std::string_view Key(std::string_view name) {
        if (!facts.ignoresCase)
            return name;
        return foldedStore.emplace_back(FoldedForm(name));
    }
    std::uint32_t Add(std::string_view name) { return names.Add(Key(name)); }
};

// Where a row's names sit in its folder's table.
struct RowKeys {
    FolderState* folder = nullptr;
    std::uint32_t from = kNoSlot;
    std::uint32_t to = kNoSlot;
};

// Bytes the volume's name encoding cannot carry: it would refuse the name,
// or keep another one than the user sees.
bool EncodingRefuses(std::string_view name, const FolderFacts& facts) {
    const auto high = [](char c) { return static_cast<unsigned char>(c) > 127; };
    if (facts.asciiOnly && std::any_of(name.begin(), name.end(), high))
        return true;
    return facts.utf8Only && !IsValidUtf8(name);
}

bool MarkCannotHold(std::string_view to, const FolderFacts& facts, RowVerdict& verdict) {
    if (NewNameRefusal(to, facts.fatLike) != NameRefusal::None || EncodingRefuses(to, facts)) {
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
        if (folder.names.Find(folder.Key(name)) == kNoSlot)
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

// Makes the plan in four passes over the rows: conflicts between the rows
// themselves, conflicts with the files that stay, look-alikes, then the order.
class Planner {
public:
    Planner(const std::vector<PlanRow>& rows, FolderLister& lister)
        : m_rows(rows), m_lister(lister), m_keys(rows.size()) {
        m_plan.rows.resize(rows.size());
    }

    RenamePlan Make() {
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            TakeRow(i);
        RefuseExisting();
        for (FolderState& folder : m_folders)
            MarkLookAlikes(folder);
        OrderMoves();
        for (const RowVerdict& verdict : m_plan.rows)
            m_plan.conflicts += verdict.IsConflict() ? 1 : 0;
        return std::move(m_plan);
    }

private:
    bool Changed(std::size_t i) const { return m_plan.rows[i].plan != RowPlan::Unchanged; }
    bool Moving(std::size_t i) const { return Changed(i) && !m_plan.rows[i].refused; }
    NameSlot& From(std::size_t i) { return m_keys[i].folder->names[m_keys[i].from]; }
    NameSlot& To(std::size_t i) { return m_keys[i].folder->names[m_keys[i].to]; }

    FolderState& FolderOf(const std::string& path) {
        if (&path == m_lastPath)
            return *m_lastFolder;
        auto [where, added] = m_folderByPath.try_emplace(path, nullptr);
        if (added) {
            FolderState& folder = m_folders.emplace_back();
            folder.facts = m_lister.Describe(path);
            folder.names.Reserve(folder.facts.names.size() + m_rows.size());
            folder.listedSlots.reserve(folder.facts.names.size());
            for (const std::string& name : folder.facts.names) {
                const std::uint32_t slot = folder.Add(name);
                folder.names[slot].listed = true;
                folder.listedSlots.push_back(slot);
                folder.anyNonAscii = folder.anyNonAscii || !IsAscii(name);
            }
            where->second = &folder;
        }
        m_lastPath = &path;
        m_lastFolder = where->second;
        return *m_lastFolder;
    }

    // Names that cannot be held, and rows that share a target: the first row
    // of a target keeps it.
    void TakeRow(std::size_t i) {
        const PlanRow& row = m_rows[i];
        RowVerdict& verdict = m_plan.rows[i];
        FolderState& folder = FolderOf(*row.folder);
        if (row.from == row.to) {
            verdict.plan = RowPlan::Unchanged;
            return;
        }
        RowKeys& key = m_keys[i];
        key.folder = &folder;
        key.from = folder.Add(row.from);
        if (From(i).source == kNoRow)
            From(i).source = i;
        if (MarkCannotHold(row.to, folder.facts, verdict))
            return;
        key.to = folder.Add(row.to);
        folder.anyNonAscii = folder.anyNonAscii || !IsAscii(row.to);
        const std::size_t winner = To(i).target;
        if (winner == kNoRow) {
            To(i).target = i;
            return;
        }
        verdict.plan = RowPlan::SameTarget;
        verdict.otherRow = winner;
        verdict.otherName = std::string(m_rows[winner].to);
        verdict.refused = true;
        RowVerdict& winning = m_plan.rows[winner];
        if (winning.plan == RowPlan::Ready) {
            winning.plan = RowPlan::SameTarget;
            winning.otherRow = i;
            winning.otherName = std::string(row.to);
        }
    }

    // Targets that exist and are not moved away. A refused row keeps its file
    // where it is, so the row whose target that is fails in turn.
    void RefuseExisting() {
        std::vector<std::size_t> refusedRows;
        auto refuseAsExisting = [&](std::size_t i) {
            RowVerdict& verdict = m_plan.rows[i];
            verdict.plan = RowPlan::Exists;
            verdict.otherRow = kNoRow;
            verdict.otherName = std::string(m_rows[i].to);
            verdict.refused = true;
            refusedRows.push_back(i);
        };
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (!Changed(i))
                continue;
            if (m_plan.rows[i].refused)
                refusedRows.push_back(i);
            else if (m_keys[i].to != m_keys[i].from && To(i).source == kNoRow && To(i).listed)
                refuseAsExisting(i);
        }
        for (std::size_t done = 0; done < refusedRows.size(); ++done) {
            const std::size_t waiting = From(refusedRows[done]).target;
            if (waiting != kNoRow && Moving(waiting))
                refuseAsExisting(waiting);
        }
    }

    // Look-alikes need a name outside ASCII on one side at least.
    void MarkLookAlikes(FolderState& folder) {
        if (!folder.anyNonAscii)
            return;
        LookAlikes lookAlikes;
        for (std::size_t k = 0; k < folder.facts.names.size(); ++k) {
            const std::size_t source = folder.names[folder.listedSlots[k]].source;
            if (source == kNoRow || !Moving(source))
                lookAlikes.Add(folder.facts.names[k]);
        }
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < m_rows.size(); ++i) {
            if (m_keys[i].folder == &folder && Moving(i)) {
                lookAlikes.Add(m_rows[i].to);
                members.push_back(i);
            }
        }
        for (const std::size_t i : members) {
            const std::string_view other = lookAlikes.Other(m_rows[i].to);
            RowVerdict& verdict = m_plan.rows[i];
            if (!other.empty() && other != m_rows[i].from && verdict.plan == RowPlan::Ready) {
                verdict.plan = RowPlan::LookAlike;
                verdict.otherName = std::string(other);
            }
        }
    }

    // Each chain from its free end back, then each cycle opened through a
    // temporary name.
    void OrderMoves() {
        const std::size_t count = m_rows.size();
        std::vector<std::size_t> after(count, kNoRow);
        std::vector<bool> waits(count, false);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t next = Moving(i) ? From(i).target : kNoRow;
            if (next != kNoRow && next != i && Moving(next)) {
                after[i] = next;
                waits[next] = true;
            }
        }
        m_plan.steps.reserve(count);
        std::vector<bool> placed(count, false);
        auto place = [&](std::size_t i, std::string_view from, std::string_view to,
                         bool isTemporary) {
            m_plan.steps.push_back(
                {i, *m_rows[i].folder, std::string(from), std::string(to), isTemporary});
            placed[i] = true;
        };
        auto placeChain = [&](std::size_t first, std::size_t end) {
            for (std::size_t row = first; row != end; row = after[row])
                place(row, m_rows[row].from, m_rows[row].to, false);
        };
        for (std::size_t i = 0; i < count; ++i) {
            if (Moving(i) && !waits[i])
                placeChain(i, kNoRow);
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!Moving(i) || placed[i])
                continue;
            const std::string temporary = TemporaryName(*m_keys[i].folder);
            place(i, m_rows[i].from, temporary, true);
            placeChain(after[i], i);
            place(i, temporary, m_rows[i].to, false);
        }
    }

    const std::vector<PlanRow>& m_rows;
    FolderLister& m_lister;
    RenamePlan m_plan;
    std::vector<RowKeys> m_keys;
    std::deque<FolderState> m_folders;
    std::unordered_map<std::string_view, FolderState*> m_folderByPath;
    const std::string* m_lastPath = nullptr;
    FolderState* m_lastFolder = nullptr;
};

} // namespace

RenamePlan PlanRenames(const std::vector<PlanRow>& rows, FolderLister& lister) {
    return Planner(rows, lister).Make();
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
        // A tab or line break would not show, or would split the note.
        return "Not allowed here: " + EscapedControlBytes(verdict.otherName);
    case RowPlan::Unchanged:
    case RowPlan::Ready:
        break;
    }
    return {};
}

} // namespace quorvane
