#include "shell/TMainForm.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quorvane");
    quorvane::TMainForm mainForm;
    mainForm.show();
    return QApplication::exec();
}
