#include "frmSMTPDefaults.h"

#include "DialogFrame.h"
#include "MailSettings.h"

#include "platform/AppPath.h"
#include "platform/Error.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "texts/LocalizeForm.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vt {
namespace {
frmSMTPDefaults::HelpHandler& helpHandler()
{
    static frmSMTPDefaults::HelpHandler h;
    return h;
}

QLabel* boxLabel(QWidget* parent, const char* name, int tag, QLineEdit* buddy)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    setTag(l, tag);
    l->setBuddy(buddy);
    return l;
}

QLineEdit* box(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

QPushButton* button(QWidget* parent, const char* name, int tag)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    setTag(b, tag);
    return b;
}
} // namespace

void frmSMTPDefaults::setHelpHandler(HelpHandler handler) { helpHandler() = std::move(handler); }

frmSMTPDefaults::frmSMTPDefaults(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSMTPDefaults"));
    setTag(this, 2019);
    SetFixedDialogFrame(this);

    lblInstruction = new QLabel(this);
    lblInstruction->setObjectName(QStringLiteral("lblInstruction"));
    setTag(lblInstruction, 2106);
    lblInstruction->setWordWrap(true);

    txtName = box(this, "txtName");
    txtEmail = box(this, "txtEmail");
    txtServer = box(this, "txtServer");
    // Room for a typical address or "host:port" without scrolling.
    for (QLineEdit* e : {txtName, txtEmail, txtServer})
        e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 26);
    lblName = boxLabel(this, "lblName", 2095, txtName);
    lblEmail = boxLabel(this, "lblEmail", 2096, txtEmail);
    lblServer = boxLabel(this, "lblServer", 2097, txtServer);

    cmdOK = button(this, "cmdOK", 2001);
    cmdCancel = button(this, "cmdCancel", 2021);
    cmdHelp = button(this, "cmdHelp", 2076);
    cmdOK->setDefault(true);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(lblName, txtName);
    form->addRow(lblEmail, txtEmail);
    form->addRow(lblServer, txtServer);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);

    auto* top = new QVBoxLayout(this);
    top->addWidget(lblInstruction);
    top->addSpacing(4);
    top->addLayout(form);
    top->addStretch(1);
    top->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmSMTPDefaults::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject); // Escape too
    connect(cmdHelp, &QPushButton::clicked, this, &frmSMTPDefaults::cmdHelp_Click);

    load();

    FixDialogSize(this, 4170, 2625);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void frmSMTPDefaults::load()
{
    LocalizeForm(this);
    txtName->setText(GetSetting(mail::InternetMail, mail::Name));
    txtEmail->setText(GetSetting(mail::InternetMail, mail::EMail));
    txtServer->setText(GetSetting(mail::InternetMail, mail::RemoteHost));
}

void frmSMTPDefaults::cmdOK_Click()
{
    SaveSetting(mail::InternetMail, mail::Name, txtName->text());
    SaveSetting(mail::InternetMail, mail::EMail, txtEmail->text());
    SaveSetting(mail::InternetMail, mail::RemoteHost, txtServer->text());
    accept();
}

void frmSMTPDefaults::cmdHelp_Click()
{
    if (!helpHandler())
        return;
    try {
        helpHandler()(AppFilePath(QStringLiteral("Veltrana.hlp")), HelpTopic);
    } catch (const VtError& e) {
        ShowError(e);
    }
}

bool ShowSMTPDefaults(QWidget* parent)
{
    frmSMTPDefaults dlg(parent);
    return dlg.exec() == QDialog::Accepted;
}

} // namespace vt
