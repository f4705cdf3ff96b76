// The folder scan as the window drives it.
#include "shell/TMainForm.h"

#include "widgets/FileListModel.h"
#include "widgets/FolderTree.h"

#include <QAction>
#include <QComboBox>

namespace quorvane {

std::string TMainForm::SelectedFolder() const {
    return ShellTree->SelectedPath();
}

void TMainForm::ActRefreshUpdate() {
    ActRefresh->setEnabled(SearchCount == 0);
}

void TMainForm::ActRefreshExecute() {}

void TMainForm::ActRefreshTreeExecute() {
    ShellTree->Refresh();
}

void TMainForm::ShellTreeChange() {
    ExecuteAction(ActRefresh);
}

void TMainForm::cbFavoriteKeyUp(int /*key*/) {}

void TMainForm::cbFilterKeyUp(int /*key*/) {}

void TMainForm::SearchDone() {}

} // namespace quorvane
