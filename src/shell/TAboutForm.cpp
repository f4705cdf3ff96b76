#include "shell/TAboutForm.h"

#include "shell/VendorLinks.h"
#include "widgets/HyperlinkLabel.h"
#include "widgets/Icons.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvane {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutForm");
    setWindowTitle("About Quorvane");
    // A fixed border with the close icon only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(385, 308);

    GroupBox1 = new QGroupBox("About", this);
    GroupBox1->setObjectName("GroupBox1");
    Image1 = new QLabel(GroupBox1);
    Image1->setObjectName("Image1");
    Image1->setPixmap(icons::Program().pixmap(32, 32));
    Image1->setFixedSize(32, 32);
    Image1->setAccessibleName("Program icon");
    lblVersion = new QLabel("Quorvane V2.3 Bulid06182013", GroupBox1);
    lblVersion->setObjectName("lblVersion");
    lblSupport = new QLabel("For support please visit our Support Page", GroupBox1);
    lblSupport->setObjectName("lblSupport");
    lblWebSite = new QLabel("Web Site :", GroupBox1);
    lblWebSite->setObjectName("lblWebSite");
    KvLabelHome = new HyperlinkLabel(VendorWebSiteUrl().toString(), GroupBox1);
    KvLabelHome->setObjectName("KvLabelHome");
    KvLabelHome->setAccessibleName("Web Site :");
    lblWebSite->setBuddy(KvLabelHome);
    lblMailLine = new QLabel("questions,bug reports,comments?send mail to ", GroupBox1);
    lblMailLine->setObjectName("lblMailLine");
    lblTechSupport = new QLabel("Tech Support:", GroupBox1);
    lblTechSupport->setObjectName("lblTechSupport");
    KvLabelEMail = new HyperlinkLabel(VendorSupportAddress(), GroupBox1);
    KvLabelEMail->setObjectName("KvLabelEMail");
    KvLabelEMail->setAccessibleName("Tech Support:");
    lblTechSupport->setBuddy(KvLabelEMail);

    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(Image1, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblVersion, 0, 1, 1, 2);
    grid->addWidget(lblSupport, 2, 0, 1, 3);
    grid->addWidget(lblWebSite, 3, 0, 1, 1);
    grid->addWidget(KvLabelHome, 3, 1, 1, 2);
    grid->addWidget(lblMailLine, 4, 0, 1, 3);
    grid->addWidget(lblTechSupport, 5, 0, 1, 1);
    grid->addWidget(KvLabelEMail, 5, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(6, 1);

    ToolbarButton971 = new QPushButton("OK", this);
    ToolbarButton971->setObjectName("ToolbarButton971");
    ToolbarButton971->setFixedSize(65, 33);
    ToolbarButton971->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ToolbarButton971);
    auto* column = new QVBoxLayout(this);
    column->addWidget(GroupBox1, 1);
    column->addLayout(buttons);

    connect(ToolbarButton971, &QPushButton::clicked, this, &TAboutForm::ToolbarButton971Click);
    connect(KvLabelHome, &HyperlinkLabel::clicked, this, &TAboutForm::KvLabelHomeClick);
    connect(KvLabelEMail, &HyperlinkLabel::clicked, this, &TAboutForm::KvLabelEMailClick);
}

void TAboutForm::ToolbarButton971Click() {
    accept();
}

void TAboutForm::KvLabelHomeClick() {
    OpenVendorLink(VendorWebSiteUrl());
}

void TAboutForm::KvLabelEMailClick() {
    OpenVendorLink(VendorSupportMailUrl());
}

} // namespace quorvane
