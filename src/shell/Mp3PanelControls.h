#pragma once
// The MP3 format controls of the MP3 tag renaming panel: the format box with
// its "Add Format" button, the case, number and space options, and the legend
// of the placeholders. The window adds the panel's four buttons beside them.

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QToolButton;

namespace quorvane {

struct Mp3NameSettings;
struct OptionBinding;

class Mp3PanelControls : public QWidget {
    Q_OBJECT
public:
    explicit Mp3PanelControls(QWidget* parent = nullptr);
    ~Mp3PanelControls() override;

    // The panel's choices at the moment Preview runs.
    Mp3NameSettings ReadMp3Settings() const;
    // The controls "Options.ini" keeps, in the order the load sets them.
    std::vector<OptionBinding> BindOptions();

    // The key filter of the number box: digits only (Backspace always works).
    bool cbEmulationKeyPress(QChar key) const;
    // Handlers. Each option box is usable exactly while its check box is ticked.
    void ChkSpaceClick();
    void ChkCaseClick();
    void chkAddPreClick();
    // "Add Format": keeps the typed format in the drop-down list, once.
    void Image2Click();

Q_SIGNALS:
    // Any choice of the panel that the names depend on changed.
    void SettingsChanged();

public:
    QComboBox* cbFormat = nullptr;
    QToolButton* Image2 = nullptr;
    QCheckBox* ChkSpace = nullptr;
    QComboBox* cbSpace = nullptr;
    QCheckBox* ChkCase = nullptr;
    QComboBox* cbCase = nullptr;
    QCheckBox* chkAddPre = nullptr;
    QComboBox* cbEmulation = nullptr;
    QCheckBox* chkReadId3v2 = nullptr;     // "Read ID3v2 tags"; clear, only the ID3v1 block
    QGroupBox* grpFormatSetting = nullptr; // the legend "Format Setting"

private:
    void WireChanges();
    void LayOut();
};

} // namespace quorvane
