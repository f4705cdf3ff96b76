#pragma once

#include <QMainWindow>

namespace quorvane {

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;
};

} // namespace quorvane
