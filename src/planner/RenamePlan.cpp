#include "planner/RenamePlan.h"

#include "planner/FolderGroups.h"
#include "planner/ListingsAhead.h"
#include "planner/NameForms.h"
#include "planner/NameTable.h"
#include "planner/PlanInput.h"
#include "text/EntryName.h"
#include "text/Utf8.h"

#include <algorithm>
#include <deque>
#include <numeric>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace quorvane {
namespace {

// Everything the plan knows of one name of a folder. Names are keyed as the
// folder compares them: the bytes themselves, or the folded form where the
// folder ignores case.
struct NameSlot {
    std::size_t source = kNoRow; // the folder's row renaming the file of this name
    std::size_t target = kNoRow; // the folder's first row that gets this name
    bool listed = false;         // the folder holds a file of this name
};

// How many names ahead a walk over the table loads their buckets: enough to
// hide a miss to memory behind the work on the names in between.
constexpr std::size_t kLookAhead = 8;

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
    // Folded keys are made on Add; only bytes can be looked ahead.
    void Prefetch(std::string_view name) const {
        if (!facts.ignoresCase)
            names.Prefetch(name);
    }
    void PrefetchEntry(std::string_view name) const {
        if (!facts.ignoresCase)
            names.PrefetchEntry(name);
    }
};

// Where a row's names sit in its folder's table.
struct RowKeys {
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

// The plan of the rows of one folder: conflicts between the rows themselves,
// conflicts with the files that stay, look-alikes, and which rows wait for
// which. Rows are numbered within the folder, in list order; the folder's
// table lives only as long as this object, so a plan over many folders holds
// one table at a time.
class FolderPlan {
public:
    // `rows` holds every row of the plan, or, when `rowsOfFolder`, only this
    // folder's, in order. The verdicts go to `verdicts` (one per row of the
    // plan) when it is given, else to a list of the folder's own.
    FolderPlan(const PlanRow* rows, bool rowsOfFolder, const std::size_t* members,
               std::size_t count, RowVerdict* verdicts)
        : m_rows(rows), m_rowsOfFolder(rowsOfFolder), m_members(members), m_count(count),
          m_keys(count), m_planVerdicts(verdicts) {
        if (!m_planVerdicts)
            m_ownVerdicts.resize(count);
    }

    // The rows are taken while the folder is still being listed, as if its
    // volume were the usual kind: names as bytes, any byte but "/" and NUL,
    // 255 bytes. `awaitFacts` gives the listing; on a volume of another kind
    // the rows are taken again under its rules.
    template <typename AwaitFacts> void Make(AwaitFacts awaitFacts) {
        TakeRows();
        FolderFacts facts = awaitFacts();
        if (!NamesAlike(facts, m_folder.facts)) {
            Restart();
            m_folder.facts = std::move(facts);
            TakeRows();
        } else {
            m_folder.facts = std::move(facts);
        }
        ListNames();
        RefuseExisting();
        MarkLookAlikes();
    }

    std::size_t Buckets() const { return m_folder.names.Buckets(); }
    std::size_t Row(std::size_t k) const { return m_members[k]; }
    RowVerdict& Verdict(std::size_t k) {
        return m_planVerdicts ? m_planVerdicts[m_members[k]] : m_ownVerdicts[k];
    }
    const RowVerdict& Verdict(std::size_t k) const {
        return m_planVerdicts ? m_planVerdicts[m_members[k]] : m_ownVerdicts[k];
    }

    // The row that must move before row k can take its name, or kNoRow.
    std::size_t Next(std::size_t k) const {
        const std::size_t next = Moving(k) ? From(k).target : kNoRow;
        return next != k && next != kNoRow && Moving(next) ? next : kNoRow;
    }

    // The rows that open a cycle, in list order, each with a temporary name
    // of the folder: the first row of each cycle, as the order of moves
    // reaches them.
    template <typename Take> void ForEachCycle(Take take) {
        std::vector<bool> waits(m_count, false), placed(m_count, false);
        for (std::size_t k = 0; k < m_count; ++k) {
            if (const std::size_t next = Next(k); next != kNoRow)
                waits[next] = true;
        }
        auto follow = [&](std::size_t k) {
            for (; k != kNoRow && !placed[k]; k = Next(k))
                placed[k] = true;
        };
        for (std::size_t k = 0; k < m_count; ++k) {
            if (Moving(k) && !waits[k])
                follow(k);
        }
        for (std::size_t k = 0; k < m_count; ++k) {
            if (Moving(k) && !placed[k]) {
                take(k, TemporaryName());
                follow(k);
            }
        }
    }

private:
    bool Changed(std::size_t k) const { return Verdict(k).plan != RowPlan::Unchanged; }
    bool Moving(std::size_t k) const { return Changed(k) && !Verdict(k).refused; }
    const PlanRow& RowOf(std::size_t k) const {
        return m_rowsOfFolder ? m_rows[k] : m_rows[m_members[k]];
    }
    NameSlot& From(std::size_t k) { return m_folder.names[m_keys[k].from]; }
    const NameSlot& From(std::size_t k) const { return m_folder.names[m_keys[k].from]; }
    NameSlot& To(std::size_t k) { return m_folder.names[m_keys[k].to]; }

    static bool NamesAlike(const FolderFacts& a, const FolderFacts& b) {
        return a.ignoresCase == b.ignoresCase && a.fatLike == b.fatLike &&
               a.asciiOnly == b.asciiOnly && a.utf8Only == b.utf8Only && a.nameMax == b.nameMax;
    }

    void Restart() {
        m_folder = FolderState{};
        std::fill(m_keys.begin(), m_keys.end(), RowKeys{});
        for (std::size_t k = 0; k < m_count; ++k)
            Verdict(k) = RowVerdict{};
    }

    // Each row's name and new name, two rows' worth of table each.
    void TakeRows() {
        m_folder.names.Reserve(2 * m_count);
        for (std::size_t k = 0; k < m_count; ++k) {
            if (k + kLookAhead < m_count) {
                m_folder.Prefetch(RowOf(k + kLookAhead).from);
                m_folder.Prefetch(RowOf(k + kLookAhead).to);
            }
            TakeRow(k);
        }
    }

    // The table holds the folder's names and those the rows bring: each row's
    // name is listed as a rule, so its new name is the one to make room for.
    // Most listed names are the rows' own, in the table already: their
    // entries are loaded in a second stage.
    void ListNames() {
        FolderState& folder = m_folder;
        folder.listedSlots.reserve(folder.facts.names.size());
        const EntryNames& names = folder.facts.names;
        for (std::size_t n = 0; n < names.size(); ++n) {
            if (n + 2 * kLookAhead < names.size())
                folder.Prefetch(names[n + 2 * kLookAhead]);
            if (n + kLookAhead < names.size())
                folder.PrefetchEntry(names[n + kLookAhead]);
            const std::string_view name = names[n];
            const std::uint32_t slot = folder.Add(name);
            folder.names[slot].listed = true;
            folder.listedSlots.push_back(slot);
            folder.anyNonAscii = folder.anyNonAscii || !IsAscii(name);
        }
    }

    // Names that cannot be held, and rows that share a target: the first row
    // of a target keeps it.
    void TakeRow(std::size_t k) {
        const PlanRow& row = RowOf(k);
        RowVerdict& verdict = Verdict(k);
        if (row.from == row.to) {
            verdict.plan = RowPlan::Unchanged;
            return;
        }
        RowKeys& key = m_keys[k];
        key.from = m_folder.Add(row.from);
        if (From(k).source == kNoRow)
            From(k).source = k;
        if (MarkCannotHold(row.to, m_folder.facts, verdict))
            return;
        key.to = m_folder.Add(row.to);
        m_folder.anyNonAscii = m_folder.anyNonAscii || !IsAscii(row.to);
        const std::size_t winner = To(k).target;
        if (winner == kNoRow) {
            To(k).target = k;
            return;
        }
        verdict.plan = RowPlan::SameTarget;
        verdict.otherRow = Row(winner);
        verdict.otherName = std::string(RowOf(winner).to);
        verdict.refused = true;
        RowVerdict& winning = Verdict(winner);
        if (winning.plan == RowPlan::Ready) {
            winning.plan = RowPlan::SameTarget;
            winning.otherRow = Row(k);
            winning.otherName = std::string(row.to);
        }
    }

    // Targets that exist and are not moved away. A refused row keeps its file
    // where it is, so the row whose target that is fails in turn.
    void RefuseExisting() {
        std::vector<std::size_t> refusedRows;
        auto refuseAsExisting = [&](std::size_t k) {
            RowVerdict& verdict = Verdict(k);
            verdict.plan = RowPlan::Exists;
            verdict.otherRow = kNoRow;
            verdict.otherName = std::string(RowOf(k).to);
            verdict.refused = true;
            refusedRows.push_back(k);
        };
        for (std::size_t k = 0; k < m_count; ++k) {
            if (!Changed(k))
                continue;
            if (Verdict(k).refused)
                refusedRows.push_back(k);
            else if (m_keys[k].to != m_keys[k].from && To(k).source == kNoRow && To(k).listed)
                refuseAsExisting(k);
        }
        for (std::size_t done = 0; done < refusedRows.size(); ++done) {
            const std::size_t waiting = From(refusedRows[done]).target;
            if (waiting != kNoRow && Moving(waiting))
                refuseAsExisting(waiting);
        }
    }

    // Look-alikes need a name outside ASCII on one side at least.
    void MarkLookAlikes() {
        if (!m_folder.anyNonAscii)
            return;
        LookAlikes lookAlikes;
        const FolderFacts& facts = m_folder.facts;
        for (std::size_t n = 0; n < facts.names.size(); ++n) {
            const std::size_t source = m_folder.names[m_folder.listedSlots[n]].source;
            if (source == kNoRow || !Moving(source))
                lookAlikes.Add(facts.names[n]);
        }
        for (std::size_t k = 0; k < m_count; ++k) {
            if (Moving(k))
                lookAlikes.Add(RowOf(k).to);
        }
        for (std::size_t k = 0; k < m_count; ++k) {
            if (!Moving(k))
                continue;
            const std::string_view other = lookAlikes.Other(RowOf(k).to);
            RowVerdict& verdict = Verdict(k);
            if (!other.empty() && other != RowOf(k).from && verdict.plan == RowPlan::Ready) {
                verdict.plan = RowPlan::LookAlike;
                verdict.otherName = std::string(other);
            }
        }
    }

    std::string TemporaryName() {
        for (;;) {
            std::string name = ".qv-swap-" + std::to_string(m_folder.nextTemporary++);
            if (m_folder.names.Find(m_folder.Key(name)) == kNoSlot)
                return name;
        }
    }

    const PlanRow* m_rows;
    bool m_rowsOfFolder;
    const std::size_t* m_members; // the plan's row numbers of this folder's rows
    std::size_t m_count;
    FolderState m_folder;
    std::vector<RowKeys> m_keys;
    RowVerdict* m_planVerdicts;
    std::vector<RowVerdict> m_ownVerdicts;
};

// A plan of a few thousand rows is over before a thread would have started.
bool ListAhead(std::size_t rows) {
    return rows >= 4096;
}

// Plans each folder in turn and hands its finished plan to `take` before the
// next folder is listed.
template <typename Take>
std::size_t PlanByFolder(const std::vector<PlanRow>& rows, FolderLister& lister,
                         const std::atomic<bool>* stop, RowVerdict* verdicts, Take take) {
    const FolderGroups groups(rows.size(), [&rows](std::size_t i) { return rows[i]; });
    ListingsAhead listings(groups, lister, ListAhead(rows.size()));
    std::size_t buckets = 0;
    for (std::size_t f = 0; f < groups.Count(); ++f) {
        if (stop && stop->load(std::memory_order_relaxed))
            break;
        FolderPlan plan(rows.data(), false, groups.Members(f), groups.Size(f), verdicts);
        plan.Make([&] { return listings.TakeNext(); });
        buckets += plan.Buckets();
        take(plan, groups.Size(f));
    }
    return buckets;
}

// How deep a folder lies: the number of "/" in its path.
std::size_t Depth(const std::string& folder) {
    return static_cast<std::size_t>(std::count(folder.begin(), folder.end(), '/'));
}

// A renamed folder changes the path of everything in it, so the files go
// first and then the folders, the deepest first: no step's path changes
// before it is taken. Moves of one chain or cycle share a folder and stay in
// their order; one that takes a folder along goes with the folders.
void FoldersLast(RenameSteps& steps, const std::vector<std::size_t>& chainOfStep,
                 std::size_t chains) {
    constexpr std::size_t kFile = static_cast<std::size_t>(-1);
    std::vector<std::size_t> depthOf(chains, kFile); // files sort before every folder
    for (std::size_t s = 0; s < steps.size(); ++s) {
        if (steps[s].isFolder)
            depthOf[chainOfStep[s]] = Depth(steps[s].folder);
    }
    std::vector<std::size_t> order(steps.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return depthOf[chainOfStep[a]] > depthOf[chainOfStep[b]];
    });
    RenameSteps sorted;
    sorted.reserve(steps.size());
    for (const std::size_t s : order)
        sorted.push_back(std::move(steps[s]));
    steps = std::move(sorted);
}

// Each chain from its free end back, then each cycle opened through its
// temporary name, in list order.
void OrderMoves(const std::vector<PlanRow>& rows, const std::vector<std::size_t>& after,
                const std::unordered_map<std::size_t, std::string>& temporaries, RenamePlan& plan) {
    const std::size_t count = rows.size();
    std::vector<bool> waits(count, false);
    for (const std::size_t next : after) {
        if (next != kNoRow)
            waits[next] = true;
    }
    plan.steps.reserve(count);
    std::vector<bool> placed(count, false);
    // The chain or cycle each step belongs to: its moves stay together.
    // Kept only when a folder is renamed.
    const bool anyFolder =
        std::any_of(rows.begin(), rows.end(), [](const PlanRow& row) { return row.isFolder; });
    std::vector<std::size_t> chainOfStep;
    std::size_t chains = 0;
    auto place = [&](std::size_t i, std::string_view from, std::string_view to, bool isTemporary) {
        plan.steps.push_back({i, *rows[i].folder, std::string(from), std::string(to), isTemporary,
                              rows[i].isFolder});
        if (anyFolder)
            chainOfStep.push_back(chains);
        placed[i] = true;
    };
    auto placeChain = [&](std::size_t row) {
        for (; row != kNoRow && !placed[row]; row = after[row])
            place(row, rows[row].from, rows[row].to, false);
    };
    auto moving = [&](std::size_t i) {
        return plan.rows[i].plan != RowPlan::Unchanged && !plan.rows[i].refused;
    };
    for (std::size_t i = 0; i < count; ++i) {
        if (moving(i) && !waits[i]) {
            placeChain(i);
            ++chains;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto temporary = temporaries.find(i);
        if (!moving(i) || placed[i] || temporary == temporaries.end())
            continue;
        place(i, rows[i].from, temporary->second, true);
        placeChain(after[i]);
        place(i, temporary->second, rows[i].to, false);
        ++chains;
    }
    if (anyFolder)
        FoldersLast(plan.steps, chainOfStep, chains);
}

} // namespace

RenamePlan PlanRenames(const std::vector<PlanRow>& rows, FolderLister& lister) {
    RenamePlan plan;
    plan.rows.resize(rows.size());
    std::vector<std::size_t> after(rows.size(), kNoRow);
    std::unordered_map<std::size_t, std::string> temporaries;
    plan.tableBuckets = PlanByFolder(
        rows, lister, nullptr, plan.rows.data(), [&](FolderPlan& folder, std::size_t count) {
            for (std::size_t k = 0; k < count; ++k) {
                if (const std::size_t next = folder.Next(k); next != kNoRow)
                    after[folder.Row(k)] = folder.Row(next);
            }
            folder.ForEachCycle([&](std::size_t k, std::string name) {
                temporaries.emplace(folder.Row(k), std::move(name));
            });
        });
    OrderMoves(rows, after, temporaries, plan);
    for (const RowVerdict& verdict : plan.rows)
        plan.conflicts += verdict.IsConflict() ? 1 : 0;
    return plan;
}

PlanConflicts FindPlanConflicts(const PlanInput& input, FolderLister& lister,
                                const std::atomic<bool>* stop) {
    PlanConflicts found;
    const FolderGroups groups(input.Size(), [&input](std::size_t i) { return input.Row(i); });
    ListingsAhead listings(groups, lister, ListAhead(input.Size()));
    std::vector<PlanRow> rows; // of one folder at a time
    for (std::size_t f = 0; f < groups.Count() && !(stop && stop->load()); ++f) {
        const std::size_t* members = groups.Members(f);
        rows.clear();
        for (std::size_t k = 0; k < groups.Size(f); ++k)
            rows.push_back(input.Row(members[k]));
        FolderPlan plan(rows.data(), true, members, rows.size(), nullptr);
        plan.Make([&] { return listings.TakeNext(); });
        found.tableBuckets += plan.Buckets();
        for (std::size_t k = 0; k < rows.size(); ++k) {
            if (plan.Verdict(k).IsConflict())
                found.rows.emplace_back(plan.Row(k), std::move(plan.Verdict(k)));
        }
    }
    found.complete = !(stop && stop->load());
    std::sort(found.rows.begin(), found.rows.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return found;
}

PlanConflicts FindPlanConflicts(const std::vector<PlanRow>& rows, FolderLister& lister,
                                const std::atomic<bool>* stop) {
    PlanConflicts found;
    found.tableBuckets =
        PlanByFolder(rows, lister, stop, nullptr, [&](FolderPlan& folder, std::size_t count) {
            for (std::size_t k = 0; k < count; ++k) {
                if (folder.Verdict(k).IsConflict())
                    found.rows.emplace_back(folder.Row(k), std::move(folder.Verdict(k)));
            }
        });
    found.complete = !(stop && stop->load());
    std::sort(found.rows.begin(), found.rows.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return found;
}

FileRowsPlan PlanFileRows(const FileRows& rows, FolderLister& lister) {
    FileRowsPlan planned;
    std::vector<PlanRow> planRows;
    planRows.reserve(rows.size());
    planned.listRow.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size() && rows[i].folder; ++i) {
        if (rows[i].newName.empty())
            continue;
        planRows.push_back(
            {&*rows[i].folder, rows[i].originalName, rows[i].newName, rows[i].isFolder});
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
