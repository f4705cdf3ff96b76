#include "shell/TEditNamesForm.h"

#include "platform/FileWrite.h"
#include "rules/NameLines.h"
#include "shell/MessageBoxes.h"
#include "text/Utf8.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

namespace quorvane {
namespace {

// A list of names is small; a file far larger is no list of names, and
// reading it whole would only stall the window.
constexpr qint64 kLargestList = qint64{64} << 20;

std::string ChooseWithDialog(QWidget* parent, bool save) {
    const QString filter = QStringLiteral("Text files (*.txt);;All files (*)");
    const QString path = save ? QFileDialog::getSaveFileName(parent, "Save...", QString(), filter)
                              : QFileDialog::getOpenFileName(parent, "Load...", QString(), filter);
    return QFile::encodeName(path).toStdString();
}

TEditNamesForm::FileChooser g_chooser = ChooseWithDialog;

QString Decoded(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

void TEditNamesForm::SetFileChooser(FileChooser chooser) {
    g_chooser = chooser ? chooser : ChooseWithDialog;
}

TEditNamesForm::TEditNamesForm(std::vector<Row> rows, QWidget* parent)
    : QDialog(parent), m_rows(std::move(rows)) {
    setObjectName("EditNamesForm");
    setWindowTitle("Edit New Names");
    resize(420, 360);

    memNames = new QPlainTextEdit(this);
    memNames->setObjectName("memNames");
    memNames->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on to the buttons; a name never holds one.
    memNames->setTabChangesFocus(true);
    auto* caption = new QLabel("&New names, one per line:", this);
    caption->setBuddy(memNames);
    memNames->setAccessibleName("New names, one per line");
    QStringList lines;
    for (const Row& row : m_rows)
        lines << QString::fromStdString(LineOfRow(row.originalName, row.newName));
    memNames->setPlainText(lines.join('\n'));

    btnLoad = new QPushButton("Load...", this);
    btnLoad->setObjectName("btnLoad");
    btnSave = new QPushButton("Save...", this);
    btnSave->setObjectName("btnSave");
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    // Enter in the text box starts a new line; OK is a click or Tab away.
    for (QPushButton* button : {btnLoad, btnSave, btnOK, btnCancel})
        button->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnLoad);
    buttons->addWidget(btnSave);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(memNames);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TEditNamesForm::BtnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnLoad, &QPushButton::clicked, this, &TEditNamesForm::BtnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &TEditNamesForm::BtnSaveClick);
}

std::vector<std::string> TEditNamesForm::Lines() const {
    return SplitLines(memNames->toPlainText().toStdString());
}

void TEditNamesForm::BtnOKClick() {
    const std::vector<std::string> lines = Lines();
    const std::string warning = LineCountWarning(lines.size(), m_rows.size());
    if (!warning.empty()) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok, QString::fromStdString(warning));
        return;
    }
    m_newNames.clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_newNames.push_back(NewNameFromLine(m_rows[i].originalName, m_rows[i].newName, lines[i]));
    accept();
}

void TEditNamesForm::BtnLoadClick() {
    const std::string path = g_chooser(this, false);
    if (path.empty())
        return;
    QFile file(Decoded(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestList) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("Cannot read file \"%1\".").arg(Decoded(path)));
        return;
    }
    const QByteArray bytes = file.readAll();
    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // The box holds text only: bytes of another encoding would be changed
    // without a word on their way in.
    if (!IsValidUtf8(text)) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("The file \"%1\" is not UTF-8 text.").arg(Decoded(path)));
        return;
    }
    QStringList lines;
    for (const std::string& line : SplitLines(text))
        lines << QString::fromStdString(line);
    memNames->setPlainText(lines.join('\n'));
}

void TEditNamesForm::BtnSaveClick() {
    const std::string path = g_chooser(this, true);
    if (path.empty())
        return;
    if (const int error = RewriteFile(path, JoinLines(Lines()))) {
        ShowMessage(this, MsgType::Warning, MsgButtons::Ok,
                    QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(Decoded(path), QString::fromLocal8Bit(std::strerror(error))));
    }
}

} // namespace quorvane
