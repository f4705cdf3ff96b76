// Ordering, selecting and deleting rows of the file list.
#include "shell/TMainForm.h"

namespace quorvane {

void TMainForm::ListViewColumnClick(int /*column*/) {}

void TMainForm::ByCaptionClick() {}

void TMainForm::byTypeClick() {}

void TMainForm::BySizeClick() {}

void TMainForm::ByDateClick() {}

void TMainForm::ByAllClick() {}

void TMainForm::ActSelectAllExecute() {}

void TMainForm::ActSelectNoneExecute() {}

void TMainForm::ActionSelectInvertExecute() {}

void TMainForm::ActSelectAllUpdate() {}

void TMainForm::ActDeleteExecute() {}

void TMainForm::ActDeleteUpdate() {}

void TMainForm::ListViewKeyUp(int /*key*/) {}

void TMainForm::ListViewMouseUp() {}

void TMainForm::ListViewClick() {}

} // namespace quorvane
