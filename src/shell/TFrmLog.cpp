#include "shell/TFrmLog.h"

#include <QFile>
#include <QPushButton>
#include <QTextEdit>

namespace quorvane {
namespace {

TFrmLog::ShowHook& Hook() {
    static TFrmLog::ShowHook hook;
    return hook;
}

} // namespace

TFrmLog::TFrmLog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("FrmLog");
    setWindowTitle("Log");
    setFixedSize(404, 315);

    mmLog = new QTextEdit(this);
    mmLog->setObjectName("mmLog");
    mmLog->setReadOnly(true);
    mmLog->setLineWrapMode(QTextEdit::NoWrap);
    mmLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmLog->setGeometry(0, 0, 404, 265);

    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(312, 272, 75, 41);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFrmLog::LoadFile(const QString& path) {
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    LoadBytes(bytes);
}

void TFrmLog::LoadBytes(QByteArray bytes) {
    // The lines hold file names as raw bytes; decode them as names are decoded
    // everywhere else in the window.
    bytes.replace("\r\n", "\n");
    mmLog->setPlainText(QFile::decodeName(bytes));
}

void TFrmLog::ShowLogFile(QWidget* parent, const QString& path) {
    TFrmLog window(parent);
    window.LoadFile(path);
    window.Show(parent);
}

void TFrmLog::ShowLogText(QWidget* parent, const QByteArray& bytes) {
    TFrmLog window(parent);
    window.LoadBytes(bytes);
    window.Show(parent);
}

void TFrmLog::Show(QWidget* parent) {
    TFrmLog& window = *this;
    if (Hook()) {
        Hook()(window);
        return;
    }
    if (parent) {
        const QRect frame = parent->frameGeometry();
        window.move(frame.center() - window.rect().center());
    }
    window.exec();
}

void TFrmLog::SetShowHook(ShowHook hook) {
    Hook() = std::move(hook);
}

} // namespace quorvane
