// The plan over folders described by a double: chains, cycles and conflicts.
#include "planner/RenamePlan.h"
#include "planner/PlanInput.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <set>

namespace quorvane {
namespace {

class FakeLister final : public FolderLister {
public:
    FolderFacts facts;
    int listings = 0;
    FolderFacts Describe(const std::string&) override {
        ++listings;
        FolderFacts copy = facts;
        copy.listed = true;
        return copy;
    }
};

const std::string kFolder = "/music/";

std::vector<PlanRow> Rows(const std::vector<std::pair<std::string, std::string>>& moves) {
    std::vector<PlanRow> rows;
    for (const auto& [from, to] : moves)
        rows.push_back({&kFolder, from, to});
    return rows;
}

// Carries out the steps on a set of names, refusing to replace, and returns
// the names at the end; an impossible step fails the test.
std::set<std::string> Carry(std::set<std::string> names, const RenamePlan& plan) {
    for (const RenameStep& step : plan.steps) {
        EXPECT_EQ(names.count(step.from), 1u) << step.from;
        EXPECT_EQ(names.count(step.to), 0u) << step.to;
        names.erase(step.from);
        names.insert(step.to);
    }
    return names;
}

struct OrderCase {
    const char* label;
    std::vector<std::pair<std::string, std::string>> moves;
    std::set<std::string> onDisk;
    std::set<std::string> expected;
    std::size_t temporarySteps;
};

TEST(RenamePlan, ChainsInEveryOrderAndCyclesWork) {
    std::vector<OrderCase> cases;
    // The chain a -> b -> c -> d in every list order.
    std::vector<std::pair<std::string, std::string>> chain = {{"a", "b"}, {"b", "c"}, {"c", "d"}};
    std::sort(chain.begin(), chain.end());
    do {
        cases.push_back({"chain", chain, {"a", "b", "c"}, {"b", "c", "d"}, 0});
    } while (std::next_permutation(chain.begin(), chain.end()));
    cases.push_back({"swap", {{"a", "b"}, {"b", "a"}}, {"a", "b"}, {"a", "b"}, 1});
    cases.push_back(
        {"three", {{"a", "b"}, {"b", "c"}, {"c", "a"}}, {"a", "b", "c"}, {"a", "b", "c"}, 1});
    std::vector<std::pair<std::string, std::string>> ten;
    std::set<std::string> tenNames;
    for (int i = 0; i < 10; ++i) {
        ten.push_back({"f" + std::to_string(i), "f" + std::to_string((i + 1) % 10)});
        tenNames.insert("f" + std::to_string(i));
    }
    cases.push_back({"ten", ten, tenNames, tenNames, 1});
    cases.push_back({"temporary name taken",
                     {{"a", "b"}, {"b", "a"}},
                     {"a", "b", ".qv-swap-0", ".qv-swap-1"},
                     {"a", "b", ".qv-swap-0", ".qv-swap-1"},
                     1});
    cases.push_back({"temporary name in the batch",
                     {{"a", "b"}, {"b", "a"}, {"c", ".qv-swap-0"}},
                     {"a", "b", "c"},
                     {"a", "b", ".qv-swap-0"},
                     1});
    cases.push_back({"two cycles and a chain",
                     {{"x", "y"}, {"a", "b"}, {"y", "x"}, {"b", "a"}, {"m", "n"}},
                     {"a", "b", "x", "y", "m"},
                     {"a", "b", "x", "y", "n"},
                     2});
    for (const OrderCase& c : cases) {
        FakeLister lister;
        lister.facts.names.assign(c.onDisk.begin(), c.onDisk.end());
        const std::vector<PlanRow> rows = Rows(c.moves);
        const RenamePlan plan = PlanRenames(rows, lister);
        EXPECT_EQ(plan.conflicts, 0u) << c.label;
        EXPECT_EQ(Carry(c.onDisk, plan), c.expected) << c.label;
        // Every row's last step ends at its new name.
        std::map<std::size_t, std::string> last;
        std::size_t temporary = 0;
        for (const RenameStep& step : plan.steps) {
            last[step.row] = step.to;
            temporary += step.isTemporary ? 1 : 0;
            if (step.isTemporary) {
                EXPECT_EQ(c.onDisk.count(step.to), 0u) << c.label;
            }
        }
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(last[i], rows[i].to) << c.label;
        EXPECT_EQ(temporary, c.temporarySteps) << c.label;
        EXPECT_EQ(lister.listings, 1) << c.label;
    }
}

// What the folder's file system is like.
struct FolderKind {
    bool ignoresCase;
    bool fatLike;   // refuses the names a FAT file system refuses
    bool asciiOnly; // FAT without long names, as fusefat writes it
    bool utf8Only;  // exFAT, NTFS
};
constexpr FolderKind kPlainFolder{false, false, false, false};
constexpr FolderKind kCaseBlindFolder{true, false, false, false};
constexpr FolderKind kFatNamesFolder{false, true, false, false};
constexpr FolderKind kFatFolder{true, true, false, false};
constexpr FolderKind kShortFatFolder{true, true, true, false};
constexpr FolderKind kExfatFolder{true, true, false, true};

struct ConflictCase {
    const char* label;
    std::vector<std::pair<std::string, std::string>> moves;
    std::vector<std::string> onDisk;
    FolderKind folder;
    std::vector<std::string> texts; // one per row, "" when none
    std::vector<bool> refused;
};

const std::string kNfc = "caf\xc3\xa9.txt";  // é as one code point
const std::string kNfd = "cafe\xcc\x81.txt"; // e + combining acute
const std::string kLongName = std::string(252, 'x') + ".txt";

const std::vector<ConflictCase> kConflictCases = {
    {"same target: first wins",
     {{"a", "t"}, {"b", "t"}, {"c", "t"}},
     {"a", "b", "c"},
     kPlainFolder,
     {"Same target as row 2: t", "Same target as row 1: t", "Same target as row 1: t"},
     {false, true, true}},
    {"existing file", {{"a", "b"}}, {"a", "b"}, kPlainFolder, {"Exists: b"}, {true}},
    {"exists blocks the chain behind it",
     {{"a", "b"}, {"b", "c"}},
     {"a", "b", "c"},
     kPlainFolder,
     {"Exists: b", "Exists: c"},
     {true, true}},
    {"kept by an unchanged row",
     {{"a", "a"}, {"b", "a"}},
     {"a", "b"},
     kPlainFolder,
     {"", "Exists: a"},
     {false, true}},
    {"renamed away is free",
     {{"b", "c"}, {"a", "b"}},
     {"a", "b"},
     kPlainFolder,
     {"", ""},
     {false, false}},
    {"NFD twin on disk",
     {{"a", kNfd}},
     {"a", kNfc},
     kPlainFolder,
     {"Looks like: " + kNfc},
     {false}},
    {"NFC twin in the batch",
     {{"a", kNfc}, {"b", kNfd}},
     {"a", "b"},
     kPlainFolder,
     {"Looks like: " + kNfd, "Looks like: " + kNfc},
     {false, false}},
    {"normalizing its own name", {{kNfd, kNfc}}, {kNfd}, kPlainFolder, {""}, {false}},
    {"256-byte target",
     {{"a", kLongName}},
     {"a"},
     kPlainFolder,
     {"Name too long (256 bytes)"},
     {true}},
    {"slash, dot and dot-dot",
     {{"a", "x/y"}, {"b", "."}, {"c", ".."}},
     {"a", "b", "c"},
     kPlainFolder,
     {"Not allowed here: x/y", "Not allowed here: .", "Not allowed here: .."},
     {true, true, true}},
    {"refused name blocks its source",
     {{"a", "b:c"}, {"d", "a"}},
     {"a", "d"},
     kFatNamesFolder,
     {"Not allowed here: b:c", "Exists: a"},
     {true, true}},
    {"FAT refuses a colon and a trailing dot",
     {{"a", "b:c"}, {"d", "e."}},
     {"a", "d"},
     kFatFolder,
     {"Not allowed here: b:c", "Not allowed here: e."},
     {true, true}},
    {"FAT without long names refuses any byte above 127",
     {{"a", "caf\xc3\xa9.txt"}, {"b", "plain.txt"}},
     {"a", "b"},
     kShortFatFolder,
     {"Not allowed here: caf\xc3\xa9.txt", ""},
     {true, false}},
    {"exFAT refuses what is not UTF-8 and takes what is",
     {{"a", "bad\xff.txt"}, {"b", "caf\xc3\xa9.txt"}},
     {"a", "b"},
     kExfatFolder,
     {"Not allowed here: bad\xff.txt", ""},
     {true, false}},
    {"case twins where case is ignored",
     {{"a", "T.txt"}, {"b", "t.TXT"}},
     {"a", "b"},
     kCaseBlindFolder,
     {"Same target as row 2: t.TXT", "Same target as row 1: T.txt"},
     {false, true}},
    {"case twins where case counts",
     {{"a", "T.txt"}, {"b", "t.TXT"}},
     {"a", "b"},
     kPlainFolder,
     {"", ""},
     {false, false}},
    {"existing in another case", {{"a", "B"}}, {"a", "b"}, kCaseBlindFolder, {"Exists: B"}, {true}},
    {"change of case alone", {{"a", "A"}}, {"a"}, kCaseBlindFolder, {""}, {false}},
    {"swap of case twins",
     {{"a", "B"}, {"b", "A"}},
     {"a", "b"},
     kCaseBlindFolder,
     {"", ""},
     {false, false}},
};

void ExpectConflicts(const ConflictCase& c) {
    FakeLister lister;
    lister.facts.names = c.onDisk;
    lister.facts.ignoresCase = c.folder.ignoresCase;
    lister.facts.fatLike = c.folder.fatLike;
    lister.facts.asciiOnly = c.folder.asciiOnly;
    lister.facts.utf8Only = c.folder.utf8Only;
    const RenamePlan plan = PlanRenames(Rows(c.moves), lister);
    std::size_t conflicts = 0;
    for (std::size_t i = 0; i < c.moves.size(); ++i) {
        EXPECT_EQ(ConflictText(plan.rows[i]), c.texts[i]) << c.label << " row " << i;
        EXPECT_EQ(plan.rows[i].refused, c.refused[i]) << c.label << " row " << i;
        conflicts += c.texts[i].empty() ? 0 : 1;
        const bool stepped = std::any_of(plan.steps.begin(), plan.steps.end(),
                                         [&](const RenameStep& s) { return s.row == i; });
        EXPECT_EQ(stepped, !c.refused[i] && c.moves[i].first != c.moves[i].second)
            << c.label << " row " << i;
    }
    EXPECT_EQ(plan.conflicts, conflicts) << c.label;
    // Preview's plan, without the moves, finds the same conflicts.
    const PlanConflicts found = FindPlanConflicts(Rows(c.moves), lister);
    ASSERT_EQ(found.rows.size(), conflicts) << c.label;
    for (const auto& [row, verdict] : found.rows)
        EXPECT_EQ(ConflictText(verdict), c.texts[row]) << c.label << " row " << row;
}

TEST(RenamePlan, ConflictsNameTheOtherSide) {
    for (const ConflictCase& c : kConflictCases)
        ExpectConflicts(c);
}

// Names no run gives: control bytes anywhere (shown escaped, so the note
// stays one line), device names where the volume is FAT-like. Apply refuses
// exactly these rows, so Preview counts them.
TEST(RenamePlan, NamesNoRunGivesAreConflicts) {
    const std::vector<ConflictCase> cases = {
        {"tab, line feed and DEL",
         {{"a", "x\ty"}, {"b", "x\ny"}, {"c", "x\x7f"}, {"d", "\x1b[31m"}},
         {"a", "b", "c", "d"},
         kPlainFolder,
         {"Not allowed here: x\\ty", "Not allowed here: x\\ny", "Not allowed here: x\\x7f",
          "Not allowed here: \\x1b[31m"},
         {true, true, true, true}},
        {"device names on FAT, any case and extension",
         {{"a", "CON"}, {"b", "nul.txt"}, {"c", "Com1.tar.gz"}, {"d", "lpt9"}, {"e", "aux .mp3"}},
         {"a", "b", "c", "d", "e"},
         kFatFolder,
         {"Not allowed here: CON", "Not allowed here: nul.txt", "Not allowed here: Com1.tar.gz",
          "Not allowed here: lpt9", "Not allowed here: aux .mp3"},
         {true, true, true, true, true}},
        {"near device names on FAT",
         {{"a", "CONSOLE.txt"}, {"b", "COM0"}, {"c", "LPT10"}, {"d", "x.CON"}, {"e", "prn_1"}},
         {"a", "b", "c", "d", "e"},
         kFatFolder,
         {"", "", "", "", ""},
         {false, false, false, false, false}},
        {"device names elsewhere",
         {{"a", "CON"}, {"b", "nul.txt"}},
         {"a", "b"},
         kPlainFolder,
         {"", ""},
         {false, false}},
    };
    for (const ConflictCase& c : cases)
        ExpectConflicts(c);
}

// Each folder's listing: files "f0" to "f<count - 1>".
class NumberedLister final : public FolderLister {
public:
    explicit NumberedLister(std::size_t count) : m_count(count) {}
    int listings = 0;
    FolderFacts Describe(const std::string&) override {
        ++listings;
        FolderFacts facts;
        facts.listed = true;
        for (std::size_t i = 0; i < m_count; ++i)
            facts.names.push_back("f" + std::to_string(i));
        return facts;
    }

private:
    std::size_t m_count;
};

TEST(RenamePlan, RowsOfInterleavedFoldersArePlannedInTheirOwnFolder) {
    const std::string a = "/a/", b = "/b/";
    // A swap in /a/; in /b/ two rows after one name (the first keeps it)
    // and a third taking the name the first leaves. Their rows alternate.
    const std::vector<PlanRow> rows = {
        {&a, "f0", "f1"}, {&b, "f0", "t"}, {&a, "f1", "f0"}, {&b, "f1", "t"}, {&b, "f2", "f0"}};
    NumberedLister lister(3);
    const RenamePlan plan = PlanRenames(rows, lister);
    EXPECT_EQ(lister.listings, 2);
    const std::vector<std::string> texts = {"", "Same target as row 4: t", "",
                                            "Same target as row 2: t", ""};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(ConflictText(plan.rows[i]), texts[i]) << "row " << i;
    std::map<std::string, std::set<std::string>> names = {{a, {"f0", "f1", "f2"}},
                                                          {b, {"f0", "f1", "f2"}}};
    for (const RenameStep& step : plan.steps) {
        EXPECT_EQ(names[step.folder].erase(step.from), 1u) << step.folder << step.from;
        EXPECT_TRUE(names[step.folder].insert(step.to).second) << step.folder << step.to;
    }
    EXPECT_EQ(names[a], (std::set<std::string>{"f0", "f1", "f2"}));
    EXPECT_EQ(names[b], (std::set<std::string>{"f0", "f1", "t"}));
    EXPECT_EQ(plan.steps.size(), 5u); // the swap through a temporary name

    // Preview's copy of the same list finds the same conflicts; a row
    // without a new name is not planned and keeps the others' numbers.
    const FolderPath folderA(a), folderB(b);
    FileRows list;
    for (const PlanRow& row : rows) {
        FileRow& added = list.emplace_back();
        added.folder = row.folder == &a ? folderA : folderB;
        added.originalName = std::string(row.from);
        added.newName = std::string(row.to);
    }
    list.insert(list.begin() + 2, list.front());
    list[2].newName.clear();
    const PlanInput input(list);
    const PlanConflicts found = FindPlanConflicts(input, lister);
    ASSERT_EQ(found.rows.size(), 2u);
    for (const auto& [row, verdict] : found.rows)
        EXPECT_EQ(ConflictText(verdict), texts[row]) << "row " << row;
    EXPECT_EQ(std::vector<std::uint32_t>(input.ListRows().begin(), input.ListRows().end()),
              (std::vector<std::uint32_t>{0, 1, 3, 4, 5}));
}

// Each folder's listing from a table of folders.
class TreeLister final : public FolderLister {
public:
    std::map<std::string, std::vector<std::string>> names;
    FolderFacts Describe(const std::string& folder) override {
        FolderFacts facts;
        facts.listed = true;
        facts.names = names[folder];
        return facts;
    }
};

struct TreeRow {
    std::string folder;
    std::string from;
    std::string to;
    bool isFolder;
};

struct FolderRowCase {
    const char* label;
    std::vector<TreeRow> rows;
    std::map<std::string, std::vector<std::string>> onDisk; // folder: its names
    std::vector<std::string> texts;                         // one per row, "" when none
    std::vector<std::string> stepOrder;                     // each step's folder + from
};

// Rows of folders and of the files in them: the files move first, then the
// folders from the deepest up, so no step finds its path changed under it.
TEST(RenamePlan, FoldersMoveAfterTheirFilesDeepestFirst) {
    const std::vector<FolderRowCase> cases = {
        {"an album and its two files",
         {{"/m/", "Album 1", "Album One", true},
          {"/m/Album 1/", "Track 1.flac", "Track One.flac", false},
          {"/m/Album 1/", "Cover 1.jpg", "Cover One.jpg", false}},
         {{"/m/", {"Album 1"}}, {"/m/Album 1/", {"Track 1.flac", "Cover 1.jpg"}}},
         {"", "", ""},
         {"/m/Album 1/Track 1.flac", "/m/Album 1/Cover 1.jpg", "/m/Album 1"}},
        {"nested folders, deepest first, and a file beside them",
         {{"/m/", "A1", "A2", true},
          {"/m/A1/", "B1", "B2", true},
          {"/m/A1/B1/", "C1", "C2", true},
          {"/m/A1/B1/C1/", "x1", "x2", false},
          {"/m/", "t1", "t2", false}},
         {{"/m/", {"A1", "t1"}},
          {"/m/A1/", {"B1"}},
          {"/m/A1/B1/", {"C1"}},
          {"/m/A1/B1/C1/", {"x1"}}},
         {"", "", "", "", ""},
         {"/m/A1/B1/C1/x1", "/m/t1", "/m/A1/B1/C1", "/m/A1/B1", "/m/A1"}},
        {"a folder and a file aiming at one name",
         {{"/m/", "a", "b", true}, {"/m/", "c.txt", "b", false}},
         {{"/m/", {"a", "c.txt"}}},
         {"Same target as row 2: b", "Same target as row 1: b"},
         {"/m/a"}},
        {"a folder renamed onto an existing name",
         {{"/m/", "a", "b", true}, {"/m/a/", "f1", "f2", false}},
         {{"/m/", {"a", "b"}}, {"/m/a/", {"f1"}}},
         {"Exists: b", ""},
         {"/m/a/f1"}},
        {"a file waiting for the name a folder leaves goes after it",
         {{"/m/", "a.txt", "b", false}, {"/m/", "b", "c", true}, {"/m/b/", "x1", "x2", false}},
         {{"/m/", {"a.txt", "b"}}, {"/m/b/", {"x1"}}},
         {"", "", ""},
         {"/m/b/x1", "/m/b", "/m/a.txt"}},
        {"two folders swapped, a file in one of them",
         {{"/m/", "p", "q", true}, {"/m/", "q", "p", true}, {"/m/p/", "f", "g", false}},
         {{"/m/", {"p", "q"}}, {"/m/p/", {"f"}}},
         {"", "", ""},
         {"/m/p/f", "/m/p", "/m/q", "/m/.qv-swap-0"}},
    };
    for (const FolderRowCase& c : cases) {
        SCOPED_TRACE(c.label);
        TreeLister lister;
        lister.names = c.onDisk;
        std::vector<PlanRow> rows;
        for (const TreeRow& row : c.rows)
            rows.push_back({&row.folder, row.from, row.to, row.isFolder});
        const RenamePlan plan = PlanRenames(rows, lister);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(ConflictText(plan.rows[i]), c.texts[i]) << "row " << i;
        // Carried out on a tree of paths: a step finds its own path and a
        // free target, and a folder takes what it holds along.
        std::set<std::string> paths;
        for (const auto& [folder, names] : c.onDisk)
            for (const std::string& name : names)
                paths.insert(folder + name);
        std::vector<std::string> order;
        for (const RenameStep& step : plan.steps) {
            const std::string from = step.folder + step.from, to = step.folder + step.to;
            order.push_back(from);
            EXPECT_EQ(step.isFolder, c.rows[step.row].isFolder) << from;
            ASSERT_EQ(paths.count(from), 1u) << from;
            ASSERT_EQ(paths.count(to), 0u) << to;
            std::set<std::string> moved;
            for (const std::string& path : paths) {
                if (path == from)
                    moved.insert(to);
                else if (path.compare(0, from.size() + 1, from + "/") == 0)
                    moved.insert(to + path.substr(from.size()));
                else
                    moved.insert(path);
            }
            paths = std::move(moved);
        }
        EXPECT_EQ(order, c.stepOrder);
    }
}

// A plan's tables grow with the rows and their folders' names; a table sized
// for every row of the batch in each folder would take gigabytes here.
TEST(RenamePlan, MemoryGrowsWithTheRowsNotWithFoldersTimesRows) {
    constexpr std::size_t kFolders = 2000, kPerFolder = 100;
    std::vector<std::string> folders;
    for (std::size_t f = 0; f < kFolders; ++f)
        folders.push_back("/tree/" + std::to_string(f) + "/");
    std::vector<std::string> to;
    for (std::size_t i = 0; i < kPerFolder; ++i)
        to.push_back("g" + std::to_string(i));
    NumberedLister lister(kPerFolder);
    const FolderFacts listed = lister.Describe("");
    const EntryNames& from = listed.names;
    std::vector<PlanRow> rows;
    for (const std::string& folder : folders) {
        for (std::size_t i = 0; i < kPerFolder; ++i)
            rows.push_back({&folder, from[i], to[i]});
    }
    lister.listings = 0;
    const RenamePlan plan = PlanRenames(rows, lister);
    EXPECT_EQ(plan.conflicts, 0u);
    EXPECT_EQ(plan.steps.size(), rows.size());
    EXPECT_EQ(lister.listings, static_cast<int>(kFolders));
    EXPECT_LE(plan.tableBuckets, 8 * rows.size());
    const PlanConflicts found = FindPlanConflicts(rows, lister);
    EXPECT_TRUE(found.rows.empty());
    EXPECT_LE(found.tableBuckets, 8 * rows.size());
}

} // namespace
} // namespace quorvane
