// Core benchmarks over real folders: sorting, Apply and Undo, MP3 preview.
// Each measures a warm-up run and then the median of RUNS runs, with the
// reference measured in the same rounds on the same folder.
//
//   bench_core scan   DIR RUNS SUBFOLDERS READDIR_EXE
//                                           the walk alone vs the readdir + fstatat loop
//   bench_core sort   DIR RUNS              sort the rows of DIR by name and by size
//   bench_core plan   DIR RUNS SUBFOLDERS   plan "x_" before every name: Apply's plan, Preview's
//   bench_core rename DIR RUNS LOOP_EXE     Apply/Undo vs bare renameat2 loop, perl rename, mmv
//   bench_core mp3    DIR RUNS              MP3 preview vs a bare open/pread/close loop
//   bench_core mp3v2  DIR RUNS              MP3 preview of ID3v2 files vs a bare TagLib loop
//   bench_core photos DIR RUNS              Preview by date taken vs a bare exiv2 read loop

#include "BenchSupport.h"
#include "filelist/FolderScan.h"
#include "filelist/RowOrder.h"
#include "history/HistoryStore.h"
#include "history/RunJournal.h"
#include "mp3/Mp3NameFormatter.h"
#include "mp3/TID3v1.h"
#include "photo/DateTaken.h"
#include "planner/PlanInput.h"
#include "planner/RenamePlan.h"
#include "rules/Preview.h"
#include "runs/RenameRun.h"
#include "runs/RunFileSystem.h"
#include "support/ScanRows.h"

#include <exiv2/exiv2.hpp>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace quorvane;
using namespace quorvane::bench;

FileRows ScanRows(const std::string& folder, bool includeSubfolders, ScanOptions options = {}) {
    return test::ScanAllRows({WithTrailingSlash(folder), "*.*", includeSubfolders}, options);
}

// The seconds of the C loop's own walk, without the start of its process.
double ReaddirLoopSeconds(const std::string& loop, const std::string& folder) {
    std::string output;
    if (RunCommand({loop, folder}, {}, {}, &output) < 0)
        return -1.0;
    return std::atof(output.c_str());
}

// The walk alone, without a window: where the scan's time goes, on both
// cores and on one.
int Scan(const std::string& folder, bool includeSubfolders, int runs, const std::string& loop) {
    ScanOptions oneThread;
    oneThread.threads = 1;
    std::vector<double> ours, single, reference;
    std::size_t count = 0;
    for (int run = 0; run <= runs; ++run) {
        const double loopSeconds = ReaddirLoopSeconds(loop, folder);
        const double oursSeconds =
            TimeSeconds([&] { count = ScanRows(folder, includeSubfolders).size(); });
        const double singleSeconds =
            TimeSeconds([&] { ScanRows(folder, includeSubfolders, oneThread); });
        if (run == 0)
            continue;
        ours.push_back(oursSeconds);
        single.push_back(singleSeconds);
        reference.push_back(loopSeconds);
    }
    const std::string loopName = "readdir+fstatat loop (C, 1 thread)";
    PrintInfoRow("  the walk alone (core FolderScan, " + std::to_string(count) + " files)",
                 Median(ours), loopName, Median(reference));
    PrintInfoRow("  the walk alone on one thread", Median(single), loopName, Median(reference));
    return 0;
}

int Sort(const std::string& folder, int runs) {
    const FileRows scanned = ScanRows(folder, true);
    const struct {
        int column;
        const char* caption;
    } columns[] = {{kColumnOriginalName, "Original Name"}, {kColumnSize, "Size"}};
    for (const auto& column : columns) {
        std::vector<double> times;
        for (int run = 0; run <= runs; ++run) {
            FileRows rows = scanned; // directory order, as a scan leaves it
            const double seconds = TimeSeconds([&] { SortRows(rows, column.column, true); });
            if (run > 0)
                times.push_back(seconds);
        }
        PrintTimeRow("Sort " + std::to_string(scanned.size()) + " rows by \"" + column.caption +
                         "\" (core)",
                     Median(times), 0.3);
    }
    return 0;
}

// The renames every contender does: "x_" before each name.
constexpr const char* kPrefix = "x_";

PreviewSettings PrefixInsert();

// The plan of the renames of every row: as Apply makes it (with the order of
// the moves), and as Preview makes it beside the window (the conflicts alone,
// from a copy of the names). Its budget grows with the rows: 0.1 s per
// 100,000.
int Plan(const std::string& folder, int runs, bool includeSubfolders) {
    FileRows rows = ScanRows(folder, includeSubfolders);
    PreviewFileRows(rows, PrefixInsert());
    std::set<const std::string*> folders;
    for (const FileRow& row : rows)
        folders.insert(&*row.folder);
    PlatformFolderLister lister;
    std::vector<double> apply, preview, listing;
    std::size_t steps = 0, conflicts = 0, names = 0;
    for (int run = 0; run <= runs; ++run) {
        const double applySeconds =
            TimeSeconds([&] { steps = PlanFileRows(rows, lister).plan.steps.size(); });
        const double previewSeconds = TimeSeconds([&] {
            const PlanInput input(rows);
            conflicts = FindPlanConflicts(input, lister).rows.size();
        });
        const double listingSeconds = TimeSeconds([&] {
            for (const std::string* path : folders)
                names += lister.Describe(*path).names.size();
        });
        if (run == 0)
            continue;
        apply.push_back(applySeconds);
        preview.push_back(previewSeconds);
        listing.push_back(listingSeconds);
    }
    if (steps != rows.size() || conflicts != 0)
        std::fprintf(stderr, "bench_core: %zu rows, %zu steps, %zu conflicts\n", rows.size(), steps,
                     conflicts);
    const std::string what = std::to_string(rows.size()) + " renames in " +
                             std::to_string(folders.size()) +
                             (folders.size() == 1 ? " folder" : " folders");
    PrintTimeRow("Plan " + what + " (core PlanFileRows, one listing per folder)", Median(apply),
                 0.1 * static_cast<double>(rows.size()) / 100000.0);
    PrintInfoRow("  the conflicts alone, as Preview plans them (copy of the names included)",
                 Median(preview), "-", -1.0);
    PrintInfoRow("  the listing of the folders alone (" + std::to_string(names / (runs + 1)) +
                     " names)",
                 Median(listing), "-", -1.0);
    return 0;
}

bool WriteNameList(const std::string& path, const FileRows& rows, const std::string& prefix) {
    std::ofstream out(path, std::ios::binary);
    for (const FileRow& row : rows)
        out << prefix << row.originalName << '\0';
    return static_cast<bool>(out);
}

double LoopSeconds(const std::string& loop, const std::string& folder, const char* direction) {
    std::string output;
    if (RunCommand({loop, folder, kPrefix, direction}, {}, {}, &output) < 0)
        return -1.0;
    return std::atof(output.c_str());
}

// Every contender's seconds, one series each, a value a round.
struct RenameSeries {
    std::vector<double> plan, apply, undo, loopAdd, loopRemove, steps, stepsLoopAdd;
    std::vector<double> journalApply, journalUndo, journalLoopAdd, journalLoopRemove;
    std::vector<double> perlAdd, perlRemove, mmvAdd, mmvRemove;
};

// What the rounds of the rename benchmark share.
struct RenameBench {
    std::string folder;
    std::string bare; // the folder without its final "/"
    std::string loop;
    std::string addList, removeList;
    FileRows rows;
    PreviewSettings insert;
    PlatformFileSystem fileSystem;
    std::unique_ptr<HistoryStore> store;
    bool havePerl = false, haveMmv = false;
    bool allRenamed = true;
};

PreviewSettings PrefixInsert() {
    PreviewSettings insert;
    insert.activePage = RulePage::Insert;
    insert.insert = {kPrefix, "1", false};
    return insert;
}

// The run history beside the folder, on the same file system, as
// "History.sqlite" lies beside "Options.ini".
std::string HistoryFolder(const RenameBench& bench) {
    return bench.bare + ".history/";
}

bool OpenHistory(RenameBench& bench) {
    ::mkdir(HistoryFolder(bench).c_str(), 0755);
    HistoryStore::OpenReport report;
    bench.store =
        HistoryStore::Open(HistoryFolder(bench) + "History.sqlite", report, std::time(nullptr));
    if (!bench.store)
        std::fprintf(stderr, "bench_core: no history: %s\n", report.error.c_str());
    return bench.store != nullptr;
}

void RemoveHistory(RenameBench& bench) {
    bench.store.reset();
    for (const char* name : {"History.sqlite", "History.sqlite-wal", "History.sqlite-shm"})
        ::unlink((HistoryFolder(bench) + name).c_str());
    ::rmdir(HistoryFolder(bench).c_str());
}

// Plan, Apply and Undo from the rows, then the C loop over the same names.
void TimePlannedRenames(RenameBench& bench, RenameSeries& into) {
    PreviewFileRows(bench.rows, bench.insert);
    PlatformFolderLister lister;
    std::size_t planned = 0;
    into.plan.push_back(
        TimeSeconds([&] { planned = PlanFileRows(bench.rows, lister).plan.steps.size(); }));
    bench.allRenamed = bench.allRenamed && planned == bench.rows.size();
    RunResult result;
    into.apply.push_back(TimeSeconds([&] { result = RenameFiles(bench.rows, bench.fileSystem); }));
    bench.allRenamed = bench.allRenamed && result.failedFiles == 0;
    into.undo.push_back(TimeSeconds([&] { result = UndoRenames(bench.rows, bench.fileSystem); }));
    bench.allRenamed = bench.allRenamed && result.failedFiles == 0;
    into.loopAdd.push_back(LoopSeconds(bench.loop, bench.bare, "add"));
    into.loopRemove.push_back(LoopSeconds(bench.loop, bench.bare, "remove"));
}

// The renames alone, with the plan made beforehand: every step through the
// descriptor of the scanned folder, checked once against the scan.
void TimeRenameSteps(RenameBench& bench, RenameSeries& into) {
    PreviewFileRows(bench.rows, bench.insert);
    PlatformFolderLister lister;
    const StepPlan plan = PlanSteps(bench.rows, lister);
    RunResult result;
    into.steps.push_back(
        TimeSeconds([&] { result = RenameBySteps(bench.rows, plan, bench.fileSystem, nullptr); }));
    bench.allRenamed = bench.allRenamed && result.failedFiles == 0;
    result = UndoRenames(bench.rows, bench.fileSystem);
    bench.allRenamed = bench.allRenamed && result.failedFiles == 0;
    into.stepsLoopAdd.push_back(LoopSeconds(bench.loop, bench.bare, "add"));
    LoopSeconds(bench.loop, bench.bare, "remove");
}

// The same renames journalled: the plan committed before the first rename,
// outcomes in batches, the undo from the record with each file's identity
// checked.
void TimeJournalledRenames(RenameBench& bench, RenameSeries& into) {
    PreviewFileRows(bench.rows, bench.insert);
    PlatformFolderLister lister;
    RunResult result;
    std::int64_t journalRun = 0;
    into.journalApply.push_back(TimeSeconds([&] {
        const StepPlan plan = PlanSteps(bench.rows, lister);
        const auto begun =
            bench.store->BeginRun(HistoryRunKind::Rename, bench.folder, std::time(nullptr),
                                  StepsToRecord(plan, bench.rows));
        journalRun = begun.value_or(0);
        result = RenameWithJournal(bench.rows, plan, bench.fileSystem, bench.store.get(), begun);
    }));
    bench.allRenamed = bench.allRenamed && result.failedFiles == 0 && journalRun != 0;
    UndoOfRun undone;
    into.journalUndo.push_back(TimeSeconds([&] {
        undone = UndoRecordedRun(*bench.store, journalRun, bench.fileSystem, std::time(nullptr));
    }));
    bench.allRenamed = bench.allRenamed && undone.result.failedFiles == 0;
    MarkRowsUndone(bench.rows, undone.steps);
    into.journalLoopAdd.push_back(LoopSeconds(bench.loop, bench.bare, "add"));
    into.journalLoopRemove.push_back(LoopSeconds(bench.loop, bench.bare, "remove"));
}

// perl rename and mmv, where they are installed (-1 where not).
void TimeOtherTools(const RenameBench& bench, RenameSeries& into) {
    double perlAdd = -1.0, perlRemove = -1.0;
    if (bench.havePerl) {
        perlAdd = RunCommand({"rename", "-0", "s/^/x_/"}, bench.folder, bench.addList);
        perlRemove = RunCommand({"rename", "-0", "s/^x_//"}, bench.folder, bench.removeList);
    }
    into.perlAdd.push_back(perlAdd);
    into.perlRemove.push_back(perlRemove);
    // mmv finds the names itself and checks every target first; -p makes
    // an existing target an error, as it is for us.
    double mmvAdd = -1.0, mmvRemove = -1.0;
    if (bench.haveMmv) {
        mmvAdd = RunCommand({"mmv", "-r", "-p", "*", "x_#1"}, bench.folder);
        mmvRemove = RunCommand({"mmv", "-r", "-p", "x_*", "#1"}, bench.folder);
    }
    into.mmvAdd.push_back(mmvAdd);
    into.mmvRemove.push_back(mmvRemove);
}

void PrintRenameRows(const RenameBench& bench, const RenameSeries& times) {
    const std::string count = std::to_string(bench.rows.size());
    const std::string loopName = "renameat2 loop (C)";
    PrintTimeRow("Plan " + count + " renames (core PlanFileRows, one listing)", Median(times.plan),
                 0.1);
    PrintRatioRow("Apply " + count + " renames with the plan (core RenameFiles)",
                  Median(times.apply), loopName, Median(times.loopAdd), 1.1, 1.5);
    PrintRatioRow("Apply " + count + " renames, the steps alone (core RenameBySteps)",
                  Median(times.steps), loopName, Median(times.stepsLoopAdd), 1.1, 1.5);
    PrintRatioRow("Undo " + count + " renames (core UndoRenames)", Median(times.undo), loopName,
                  Median(times.loopRemove), 1.2, 1.5);
    PrintRatioRow("Apply " + count + " renames with the journal (core)", Median(times.journalApply),
                  loopName, Median(times.journalLoopAdd), 1.1, 1.5);
    PrintRatioRow("Undo " + count + " renames from the journal (core)", Median(times.journalUndo),
                  loopName, Median(times.journalLoopRemove), 1.1, 1.5);
    if (bench.havePerl) {
        PrintInfoRow("  perl rename, the same " + count + " renames", Median(times.perlAdd),
                     loopName, Median(times.loopAdd));
        PrintInfoRow("  perl rename, the same " + count + " renames back", Median(times.perlRemove),
                     loopName, Median(times.loopRemove));
    }
    if (bench.haveMmv) {
        PrintInfoRow("  mmv, the same " + count + " renames", Median(times.mmvAdd), loopName,
                     Median(times.loopAdd));
        PrintInfoRow("  mmv, the same " + count + " renames back", Median(times.mmvRemove),
                     loopName, Median(times.loopRemove));
    }
}

int Rename(const std::string& folder, int runs, const std::string& loop) {
    RenameBench bench;
    bench.folder = folder;
    bench.bare = folder.substr(0, folder.size() - 1);
    bench.loop = loop;
    bench.rows = ScanRows(folder, false);
    bench.insert = PrefixInsert();
    // The name lists for perl go beside the folder, not into it.
    bench.addList = bench.bare + ".names-add";
    bench.removeList = bench.bare + ".names-remove";
    if (!WriteNameList(bench.addList, bench.rows, "") ||
        !WriteNameList(bench.removeList, bench.rows, kPrefix))
        return 1;
    bench.havePerl = RunCommand({"rename", "-V"}) >= 0;
    bench.haveMmv = RunCommand({"mmv", "-V"}) >= 0;
    if (!OpenHistory(bench))
        return 1;

    RenameSeries warmUp, times;
    for (int run = 0; run <= runs; ++run) {
        RenameSeries& into = run == 0 ? warmUp : times;
        TimePlannedRenames(bench, into);
        TimeRenameSteps(bench, into);
        TimeJournalledRenames(bench, into);
        TimeOtherTools(bench, into);
    }
    ::unlink(bench.addList.c_str());
    ::unlink(bench.removeList.c_str());
    RemoveHistory(bench);
    if (!bench.allRenamed)
        std::fprintf(stderr, "bench_core: some renames of ours failed\n");
    PrintRenameRows(bench, times);
    return bench.allRenamed ? 0 : 1;
}

// The least any MP3 preview must do: open, read the last 128 bytes, close.
std::size_t ReadTailsBare(const FileRows& rows) {
    std::string path;
    char block[128];
    std::size_t tagged = 0;
    for (const FileRow& row : rows) {
        path.assign(row.Path()).append(row.originalName);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const off_t at = static_cast<off_t>(row.sizeBytes) - 128;
        if (at >= 0 && ::pread(fd, block, sizeof block, at) == 128 && block[0] == 'T')
            ++tagged;
        ::close(fd);
    }
    return tagged;
}

// One MP3 preview row against its reference loop; `readId3v2` as the panel's
// "Read ID3v2 tags" box.
template <typename Reference>
void Mp3Row(const std::string& work, FileRows& rows, bool readId3v2, int runs,
            const std::string& referenceName, Reference reference, double target, double limit) {
    TID3v1 reader;
    Mp3NameSettings settings; // the panel's defaults: "%1 %3 %2"
    settings.readId3v2 = readId3v2;
    std::vector<double> ours, bare;
    std::size_t named = 0, read = 0;
    for (int run = 0; run <= runs; ++run) {
        const double oursSeconds =
            TimeSeconds([&] { named = PreviewMp3Names(rows, settings, reader).selected; });
        const double bareSeconds = TimeSeconds([&] { read = reference(rows); });
        if (run == 0)
            continue;
        ours.push_back(oursSeconds);
        bare.push_back(bareSeconds);
    }
    if (named != rows.size() || read != rows.size())
        std::fprintf(stderr, "bench_core: %zu rows, %zu named, %zu tags read bare\n", rows.size(),
                     named, read);
    PrintRatioRow(work, Median(ours), referenceName, Median(bare), target, limit);
}

int Mp3(const std::string& folder, int runs) {
    FileRows rows = ScanRows(folder, false);
    const std::string count = std::to_string(rows.size());
    Mp3Row("MP3 preview of " + count + " tagged files (core)", rows, true, runs,
           "open/pread/close loop", ReadTailsBare, 1.2, 1.2);
    Mp3Row("  the same, \"Read ID3v2 tags\" cleared", rows, false, runs, "open/pread/close loop",
           ReadTailsBare, 1.2, 1.2);
    return 0;
}

// The least a TagLib-based reader does: open read-only, parse the tags
// without audio properties, take three fields.
std::size_t ReadId3v2Bare(const FileRows& rows) {
    std::string path;
    std::size_t tagged = 0;
    for (const FileRow& row : rows) {
        path.assign(row.Path()).append(row.originalName);
        TagLib::FileStream stream(path.c_str(), true);
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        const TagLib::ID3v2::Tag* tag = file.ID3v2Tag(false);
        if (tag &&
            !(tag->artist().to8Bit(true) + tag->album().to8Bit(true) + tag->title().to8Bit(true))
                 .empty())
            ++tagged;
    }
    return tagged;
}

int Mp3V2(const std::string& folder, int runs) {
    FileRows rows = ScanRows(folder, false);
    Mp3Row("MP3 preview of " + std::to_string(rows.size()) + " files with ID3v2 tags (core)", rows,
           true, runs, "TagLib read loop", ReadId3v2Bare, 1.5, 1.5);
    return 0;
}

// The least an exiv2-based reader does: open the file, read its metadata,
// look the date up.
std::size_t ReadDatesBare(const FileRows& rows) {
    std::string path;
    std::size_t dated = 0;
    const Exiv2::ExifKey key("Exif.Photo.DateTimeOriginal");
    for (const FileRow& row : rows) {
        path.assign(row.Path()).append(row.originalName);
        try {
            auto image = Exiv2::ImageFactory::open(path);
            image->readMetadata();
            const Exiv2::ExifData& exif = image->exifData();
            const auto found = exif.findKey(key);
            if (found != exif.end() && found->toString().size() == 19)
                ++dated;
        } catch (const std::exception&) {
        }
    }
    return dated;
}

int Photos(const std::string& folder, int runs) {
    FileRows rows = ScanRows(folder, false);
    PreviewSettings settings;
    settings.activePage = RulePage::DateTime;
    settings.dateTime.position = DatePosition::InsteadOfName;
    settings.dateTime.modifiedWhenNoDateTaken = false;
    settings.dateTime.dateTaken = [](const FileRow& row) { return ReadDateTaken(row.FullPath()); };
    std::vector<double> ours, bare;
    std::size_t named = 0, read = 0;
    for (int run = 0; run <= runs; ++run) {
        for (FileRow& row : rows)
            row.selected = true;
        const double oursSeconds =
            TimeSeconds([&] { named = PreviewFileRows(rows, settings).selectedCount; });
        const double bareSeconds = TimeSeconds([&] { read = ReadDatesBare(rows); });
        if (run == 0)
            continue;
        ours.push_back(oursSeconds);
        bare.push_back(bareSeconds);
    }
    if (named != rows.size() || read != rows.size())
        std::fprintf(stderr, "bench_core: %zu rows, %zu named, %zu dates read bare\n", rows.size(),
                     named, read);
    PrintRatioRow("Preview of " + std::to_string(rows.size()) + " JPEG files by date taken (core)",
                  Median(ours), "exiv2 read loop", Median(bare), 1.2, 1.2);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: %s scan|sort|plan|rename|mp3|mp3v2|photos DIR RUNS [LOOP_EXE]\n",
                     argv[0]);
        return 2;
    }
    const std::string command = argv[1];
    const std::string folder = WithTrailingSlash(argv[2]);
    const int runs = std::max(1, std::atoi(argv[3]));
    if (command == "scan" && argc > 5)
        return Scan(folder, std::atoi(argv[4]) != 0, runs, argv[5]);
    if (command == "sort")
        return Sort(folder, runs);
    if (command == "plan" && argc > 4)
        return Plan(folder, runs, std::atoi(argv[4]) != 0);
    if (command == "rename" && argc > 4)
        return Rename(folder, runs, argv[4]);
    if (command == "mp3")
        return Mp3(folder, runs);
    if (command == "mp3v2")
        return Mp3V2(folder, runs);
    if (command == "photos")
        return Photos(folder, runs);
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
