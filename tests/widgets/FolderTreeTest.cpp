#include "widgets/FolderTree.h"

#include "support/TempDir.h"

#include <QFileSystemModel>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using test::TempDir;

TEST(FolderTree, PointingAtAFolderSelectsIt) {
    TempDir dir;
    dir.MakeDir("a/b");
    FolderTree tree;
    QSignalSpy changed(&tree, &FolderTree::FolderChanged);
    EXPECT_EQ(tree.SelectedPath(), "");
    ASSERT_TRUE(tree.SetPath(QString::fromStdString(dir.Path() + "a/b")));
    EXPECT_EQ(tree.SelectedPath(), dir.Path() + "a/b/");
    EXPECT_EQ(changed.count(), 1);
    // A trailing slash names the same folder: nothing moves.
    ASSERT_TRUE(tree.SetPath(QString::fromStdString(dir.Path() + "a/b/")));
    EXPECT_EQ(changed.count(), 1);
}

TEST(FolderTree, PathsThatAreNoFolderAreRefused) {
    TempDir dir;
    const std::string file = dir.Write("file.txt");
    FolderTree tree;
    for (const std::string& path : {std::string(), file, dir.Path() + "missing"})
        EXPECT_FALSE(tree.SetPath(QString::fromStdString(path))) << path;
    EXPECT_EQ(tree.SelectedPath(), "");
}

// The tree leaves hidden folders out, as the scan does; a path pointed at
// still opens one, also in a folder whose rows are already loaded.
TEST(FolderTree, HiddenFoldersAreLeftOutButAPathStillOpensOne) {
    TempDir dir;
    dir.MakeDir(".hidden");
    dir.MakeDir("shown");
    FolderTree tree;
    ASSERT_TRUE(tree.SetPath(QString::fromStdString(dir.Path())));
    QFileSystemModel* model = tree.FileSystemModel();
    const QModelIndex parent = model->index(QString::fromStdString(dir.Path()));
    // Loading runs on the model's own thread: wait for this folder's signal.
    QSignalSpy loaded(&tree, &FolderTree::DirectoryLoaded);
    const QString folder = model->filePath(parent);
    const auto loadedHere = [&] {
        for (const QList<QVariant>& arguments : loaded)
            if (arguments.at(0).toString() == folder)
                return true;
        return false;
    };
    model->fetchMore(parent);
    while (model->rowCount(parent) == 0 && !loadedHere())
        ASSERT_TRUE(loaded.wait(5000));
    ASSERT_EQ(model->rowCount(parent), 1);
    EXPECT_EQ(model->fileName(model->index(0, 0, parent)), "shown");
    EXPECT_TRUE(model->isReadOnly());

    ASSERT_TRUE(tree.SetPath(QString::fromStdString(dir.Path() + ".hidden")));
    EXPECT_EQ(tree.SelectedPath(), dir.Path() + ".hidden/");
}

TEST(FolderTree, RefreshSelectsTheSameFolderAndReportsOnce) {
    TempDir dir;
    dir.MakeDir("keep");
    FolderTree tree;
    ASSERT_TRUE(tree.SetPath(QString::fromStdString(dir.Path() + "keep")));
    QSignalSpy changed(&tree, &FolderTree::FolderChanged);
    tree.Refresh();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(tree.SelectedPath(), dir.Path() + "keep/");
}

TEST(FolderTree, RefreshAfterTheFolderWentLeavesNothingSelected) {
    TempDir dir;
    dir.MakeDir("gone");
    FolderTree tree;
    ASSERT_TRUE(tree.SetPath(QString::fromStdString(dir.Path() + "gone")));
    test::Shell("rmdir '" + dir.Path() + "gone'");
    QSignalSpy changed(&tree, &FolderTree::FolderChanged);
    tree.Refresh();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(tree.SelectedPath(), "");
}

} // namespace
} // namespace quorvane
