#pragma once
// The log window: the text of "Log.txt", read-only, with one "OK" button. It is
// made for each showing, shown modally and destroyed when it closes.

#include <QDialog>
#include <functional>

class QPushButton;
class QTextEdit;

namespace quorvane {

class TFrmLog : public QDialog {
    Q_OBJECT
public:
    explicit TFrmLog(QWidget* parent = nullptr);

    // Loads the file into `mmLog`; an unreadable file shows an empty log.
    void LoadFile(const QString& path);

    // The same for log lines kept in memory (CR LF ends), when "Log.txt"
    // could not be written.
    void LoadBytes(QByteArray bytes);

    // Makes the window for the file, shows it modally and destroys it.
    static void ShowLogFile(QWidget* parent, const QString& path);
    static void ShowLogText(QWidget* parent, const QByteArray& bytes);
    // Tests install a hook that receives the window instead of it being shown.
    using ShowHook = std::function<void(TFrmLog&)>;
    static void SetShowHook(ShowHook hook);

    QTextEdit* mmLog = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void Show(QWidget* parent);
};

} // namespace quorvane
