#pragma once
// "Edit New Names": the new names of some rows as a plain text, one line per
// row, to be typed, loaded from a list ("Load...") or saved ("Save...").
// "OK" gives line i to row i (rules/NameLines.h); a text with another number
// of lines than rows is refused with a warning and the window stays open.
// The window only edits text; the main window hands the names to the list.

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace quorvane {

class TEditNamesForm : public QDialog {
    Q_OBJECT
public:
    struct Row {
        std::string originalName;
        std::string newName;
    };
    explicit TEditNamesForm(std::vector<Row> rows, QWidget* parent = nullptr);

    // After "OK": each row's new name, in the order of the rows given.
    const std::vector<std::string>& NewNames() const { return m_newNames; }

    // Chooses the file for "Load..." and "Save..."; empty when the user
    // cancels. Tests put a double here.
    using FileChooser = std::string (*)(QWidget* parent, bool save);
    static void SetFileChooser(FileChooser chooser);

    QPlainTextEdit* memNames = nullptr;
    QPushButton* btnLoad = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

private:
    void BtnOKClick();
    void BtnLoadClick();
    void BtnSaveClick();
    std::vector<std::string> Lines() const;

    std::vector<Row> m_rows;
    std::vector<std::string> m_newNames;
};

} // namespace quorvane
