#pragma once
// The whole-batch plan of a rename run: which rows can be renamed, which
// conflict and with what, and the order of single moves that carries out the
// rest whatever the list order, chains and cycles included.

#include "platform/FolderFacts.h"
#include "platform/LargeBlocks.h"
#include "rules/FileRow.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

// One listing of each folder a plan touches; tests hand in folders that ignore
// case or refuse names without a file system of that kind.
class FolderLister {
public:
    virtual ~FolderLister() = default;
    virtual FolderFacts Describe(const std::string& folder) = 0;
};

class PlatformFolderLister final : public FolderLister {
public:
    FolderFacts Describe(const std::string& folder) override { return DescribeFolder(folder); }
};

// A row the run would rename: folder (ending in "/"), its name, the new name.
// The names are views: the rows they come from outlive the plan's making.
struct PlanRow {
    const std::string* folder = nullptr;
    std::string_view from;
    std::string_view to;
    bool isFolder = false; // the row renames a folder of `folder`
};

enum class RowPlan {
    Unchanged,  // the new name is the name
    Ready,      // will be renamed
    SameTarget, // another row gets the same name; the first in the list wins
    Exists,     // the target exists and stays where it is
    LookAlike,  // looks like another name after NFC; renamed all the same
    CannotHold, // the file system cannot hold the name; never tried
};

struct RowVerdict {
    RowPlan plan = RowPlan::Ready;
    // The row the conflict is with (SameTarget), else kNoRow.
    std::size_t otherRow = static_cast<std::size_t>(-1); // an index of the plan's rows
    std::string otherName; // the name the conflict is with; the target's byte
                           // count for CannotHold is in `nameBytes`
    std::size_t nameBytes = 0;
    bool tooLong = false; // CannotHold because of the length
    bool refused = false; // the run leaves this row alone and marks it failed

    bool IsConflict() const { return plan != RowPlan::Unchanged && plan != RowPlan::Ready; }
};

inline constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

// One move of the run. A row in a cycle takes two: into a temporary name of
// its folder (isTemporary) and from there to its new name.
struct RenameStep {
    std::size_t row = 0;
    std::string folder;
    std::string from;
    std::string to;
    bool isTemporary = false;
    bool isFolder = false;
};

// A plan's arrays are as long as the batch and made anew by every plan.
using RowVerdicts = std::vector<RowVerdict, LargeBlockAllocator<RowVerdict>>;
using RenameSteps = std::vector<RenameStep, LargeBlockAllocator<RenameStep>>;

struct RenamePlan {
    RowVerdicts rows; // one per PlanRow, same order
    RenameSteps steps;
    std::size_t conflicts = 0;
    // The buckets of every folder's name table, added up: the plan's memory
    // grows with its rows and the names of their folders, not with both
    // multiplied.
    std::size_t tableBuckets = 0;
};

// Folders are planned one after the other, each from one listing, and only
// one folder's table is held at a time.
RenamePlan PlanRenames(const std::vector<PlanRow>& rows, FolderLister& lister);

// The conflicts alone, without the order of the moves: what Preview shows.
// Keeps nothing per row but the conflicts. `stop` (may be null) ends the
// planning between two folders; the result is then not complete.
struct PlanConflicts {
    std::vector<std::pair<std::size_t, RowVerdict>> rows; // by row, the conflicts only
    std::size_t tableBuckets = 0;
    bool complete = true;
};
PlanConflicts FindPlanConflicts(const std::vector<PlanRow>& rows, FolderLister& lister,
                                const std::atomic<bool>* stop = nullptr);
// The same from the names copied out of a list; the rows of one folder at a
// time are spelled out.
class PlanInput;
PlanConflicts FindPlanConflicts(const PlanInput& input, FolderLister& lister,
                                const std::atomic<bool>* stop = nullptr);

// The plan of the rows a rename run would take: those with a new name, up to
// the first row without a folder (where the run stops).
struct FileRowsPlan {
    RenamePlan plan;                  // its rows name the other row of a conflict by list position
    std::vector<std::size_t> listRow; // the list position of each planned row
};
FileRowsPlan PlanFileRows(const FileRows& rows, FolderLister& lister);

// The text of a conflict as Preview shows it ("Exists: a.txt"), with rows
// counted from 1. Empty when there is none.
std::string ConflictText(const RowVerdict& verdict);

} // namespace quorvane
