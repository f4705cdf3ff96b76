#include "shell/TMainForm.h"

namespace quorvane {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("Quorvane");
    resize(667, 500);
}

TMainForm::~TMainForm() = default;

} // namespace quorvane
