#include "frmOptions.h"

#include "DialogFrame.h"
#include "MailSettings.h"

#include "platform/Settings.h"
#include "texts/LocalizeForm.h"
#include "texts/ResText.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vt {
namespace {
template <class W>
W* named(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* boxLabel(QWidget* parent, const char* name, int tag, QWidget* buddy)
{
    auto* l = named<QLabel>(parent, name);
    setTag(l, tag);
    l->setBuddy(buddy);
    return l;
}

QFormLayout* formLayout()
{
    auto* f = new QFormLayout;
    f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return f;
}
} // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOptions"));
    setTag(this, 2015);
    SetFixedDialogFrame(this);

    SSTab1 = named<QTabWidget>(this, "SSTab1");

    // Internet Mail
    auto* mailTab = new QWidget;
    txtName = named<QLineEdit>(mailTab, "txtName");
    txtEmail = named<QLineEdit>(mailTab, "txtEmail");
    txtServer = named<QLineEdit>(mailTab, "txtServer");
    lblName = boxLabel(mailTab, "lblName", 2095, txtName);
    lblEmail = boxLabel(mailTab, "lblEmail", 2096, txtEmail);
    lblServer = boxLabel(mailTab, "lblServer", 2097, txtServer);
    auto* mailForm = formLayout();
    mailForm->addRow(lblName, txtName);
    mailForm->addRow(lblEmail, txtEmail);
    mailForm->addRow(lblServer, txtServer);
    auto* mailLayout = new QVBoxLayout(mailTab);
    mailLayout->addLayout(mailForm);
    mailLayout->addStretch(1);

    // Signature: one box filling the tab.
    auto* signatureTab = new QWidget;
    txtSignature = named<QPlainTextEdit>(signatureTab, "txtSignature");
    txtSignature->setTabChangesFocus(true);
    // It fills whatever room the tab has rather than asking for its own.
    txtSignature->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    txtSignature->setMinimumHeight(60);
    auto* signatureLayout = new QVBoxLayout(signatureTab);
    signatureLayout->addWidget(txtSignature);

    // General
    auto* generalTab = new QWidget;
    txtBCC = named<QLineEdit>(generalTab, "txtBCC");
    lblBCC = boxLabel(generalTab, "lblBCC", 2098, txtBCC);
    chkDefaultFilter = named<QCheckBox>(generalTab, "chkDefaultFilter");
    chkSendImmediate = named<QCheckBox>(generalTab, "chkSendImmediate");
    auto* generalForm = formLayout();
    generalForm->addRow(lblBCC, txtBCC);
    auto* generalLayout = new QVBoxLayout(generalTab);
    generalLayout->addLayout(generalForm);
    generalLayout->addWidget(chkDefaultFilter);
    generalLayout->addWidget(chkSendImmediate);
    generalLayout->addStretch(1);

    // Tab captions hold their text numbers until LocalizeForm replaces them.
    SSTab1->addTab(mailTab, QStringLiteral("2022"));
    SSTab1->addTab(signatureTab, QStringLiteral("2023"));
    SSTab1->addTab(generalTab, QStringLiteral("2176"));

    cmdOK = named<QPushButton>(this, "cmdOK");
    setTag(cmdOK, 2001);
    cmdCancel = named<QPushButton>(this, "cmdCancel");
    setTag(cmdCancel, 2021);
    // Enter in a box does not close the dialog; only the buttons do.
    cmdOK->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* top = new QVBoxLayout(this);
    top->addWidget(SSTab1, 1);
    top->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject); // Escape too

    load();
    FixDialogSize(this, 4680, 3240);
}

void frmOptions::load()
{
    LocalizeForm(this);
    chkDefaultFilter->setText(ResText(2177));
    chkSendImmediate->setText(ResText(2185));

    txtName->setText(GetSetting(mail::InternetMail, mail::Name));
    txtEmail->setText(GetSetting(mail::InternetMail, mail::EMail));
    txtServer->setText(GetSetting(mail::InternetMail, mail::RemoteHost));
    QString signature = GetSetting(mail::Signature, mail::Text);
    signature.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    txtSignature->setPlainText(signature);
    txtBCC->setText(GetSetting(mail::General, mail::BCC));
    chkDefaultFilter->setChecked(SettingFlag(mail::General, mail::DefaultFilter, mail::DefaultFilterDefault));
    chkSendImmediate->setChecked(SettingFlag(mail::General, mail::SendImmediate, mail::SendImmediateDefault));
}

void frmOptions::cmdOK_Click()
{
    SaveSetting(mail::InternetMail, mail::Name, txtName->text());
    SaveSetting(mail::InternetMail, mail::EMail, txtEmail->text());
    SaveSetting(mail::InternetMail, mail::RemoteHost, txtServer->text());
    SaveSetting(mail::Signature, mail::Text, txtSignature->toPlainText());
    SaveSetting(mail::General, mail::BCC, txtBCC->text());
    SaveSetting(mail::General, mail::DefaultFilter, FlagText(chkDefaultFilter->isChecked()));
    SaveSetting(mail::General, mail::SendImmediate, FlagText(chkSendImmediate->isChecked()));
    accept();
}

bool ShowOptions(QWidget* parent)
{
    frmOptions dlg(parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vt
