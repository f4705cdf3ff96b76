// Loading and saving "Options.ini".
#include "shell/TMainForm.h"

namespace quorvane {

void TMainForm::LoadOptions() {}

void TMainForm::SaveOptions() {}

} // namespace quorvane
