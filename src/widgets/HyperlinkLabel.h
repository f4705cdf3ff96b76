#pragma once
// A link in a dialog: red underlined text with a hand cursor that reports a
// click (keyboard users reach it with Tab and press Space or Enter).

#include <QLabel>

namespace quorvane {

class HyperlinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit HyperlinkLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quorvane
