#pragma once
// The About box: program line, build, the web site and support mail links.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace quorvane {

class HyperlinkLabel;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    void ToolbarButton971Click();
    void KvLabelHomeClick();
    void KvLabelEMailClick();

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblSupport = nullptr;
    QLabel* lblWebSite = nullptr;
    HyperlinkLabel* KvLabelHome = nullptr;
    QLabel* lblMailLine = nullptr;
    QLabel* lblTechSupport = nullptr;
    HyperlinkLabel* KvLabelEMail = nullptr;
    QPushButton* ToolbarButton971 = nullptr;
};

} // namespace quorvane
