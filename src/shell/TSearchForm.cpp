#include "shell/TSearchForm.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtMath>

namespace quorvane {

namespace {
constexpr int kSpokes = 8;
constexpr int kStepMs = 80;
} // namespace

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_TranslucentBackground);
}

void BusyIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = qMin(width(), height()) / 2.0 - 1.0;
    QColor colour = palette().color(QPalette::WindowText);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is darkest; the others fade behind it.
        const int age = (m_step - i + kSpokes) % kSpokes;
        colour.setAlphaF(1.0 - age / static_cast<qreal>(kSpokes));
        painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap));
        const qreal angle = 2.0 * M_PI * i / kSpokes;
        const QPointF direction(qCos(angle), qSin(angle));
        painter.drawLine(direction * outer * 0.45, direction * outer);
    }
}

void BusyIndicator::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_timer.start(kStepMs, this);
}

void BusyIndicator::hideEvent(QHideEvent* event) {
    m_timer.stop();
    QWidget::hideEvent(event);
}

void BusyIndicator::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_step = (m_step + 1) % kSpokes;
    update();
}

TSearchForm::TSearchForm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("SearchForm");
    setWindowTitle("Searching Files..");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(356, 79);

    m_panelMain = new QFrame(this);
    m_panelMain->setObjectName("PanelMain");
    m_panelMain->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panelMain->setLineWidth(1);
    QPalette panelPalette = m_panelMain->palette();
    panelPalette.setColor(QPalette::Window, QColor(250, 255, 232));
    m_panelMain->setPalette(panelPalette);
    m_panelMain->setAutoFillBackground(true);
    m_panelMain->setGeometry(rect());

    m_animate = new BusyIndicator(m_panelMain);
    m_animate->setObjectName("Animate1");
    m_animate->move(13, 13);

    m_label = new QLabel("Searching Files,Please wait..", m_panelMain);
    m_label->setObjectName("Label1");
    m_label->move(104, 40);
    m_label->adjustSize();

    m_btnCancel = new QPushButton("Cancel[&C]", m_panelMain);
    m_btnCancel->setObjectName("BtnCancel");
    m_btnCancel->setGeometry(256, 40, 89, 33);
    m_btnCancel->setDefault(true);
    connect(m_btnCancel, &QPushButton::clicked, this, &TSearchForm::BtnCancelClick);
}

void TSearchForm::BtnCancelClick() {
    Q_EMIT CancelRequested();
}

void TSearchForm::showEvent(QShowEvent* event) {
    CentreOnDesktop();
    QDialog::showEvent(event);
}

void TSearchForm::CentreOnDesktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TSearchForm::keyPressEvent(QKeyEvent* event) {
    // A dialog would close on Esc; here Esc cancels the scan on release and
    // the window stays until the scan has ended.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSearchForm::keyReleaseEvent(QKeyEvent* event) {
    FormKeyUp(event);
    if (!event->isAccepted())
        QDialog::keyReleaseEvent(event);
}

void TSearchForm::FormKeyUp(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat()) {
        event->accept();
        m_btnCancel->click();
        return;
    }
    event->ignore();
}

} // namespace quorvane
