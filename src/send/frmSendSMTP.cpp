#include "frmSendSMTP.h"

#include "db/DataControl.h"
#include "lists/frmErrorLog.h"
#include "texts/LocalizeForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace vt {
namespace {
std::function<void(const QString&)>& logShower()
{
    static std::function<void(const QString&)> f = [](const QString& log) {
        frmErrorLog w;
        w.append(log);
        w.exec();
    };
    return f;
}
} // namespace

void frmSendSMTP::setErrorLogShower(std::function<void(const QString&)> f) { logShower() = std::move(f); }

frmSendSMTP::frmSendSMTP(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmSendSMTP"));
    setTag(this, 2018);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("imgSendMail"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
    lblSendMail = new QLabel(this);
    lblSendMail->setObjectName(QStringLiteral("lblSendMail"));
    lblSendMail->setMinimumWidth(160);
    datSendMail = new DataControl(this);
    datSendMail->setObjectName(QStringLiteral("datSendMail"));
    datSendMail->hide();
    cmdCancel = new QPushButton(this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    setTag(cmdCancel, 2021);
    auto* lay = new QHBoxLayout(this);
    lay->addWidget(icon);
    lay->addWidget(lblSendMail, 1);
    lay->addWidget(cmdCancel);
    // 4425 x 840 twips at 96 dpi.
    resize(295, 56);
    connect(cmdCancel, &QPushButton::clicked, &m_session, &SmtpSession::cancel);
    connect(&m_session, &SmtpSession::labelChanged, this, [this](const QString& t, bool now) {
        lblSendMail->setText(t);
        if (now)
            lblSendMail->repaint();
    });
    connect(&m_session, &SmtpSession::closeRequested, this, [this] { done(QDialog::Accepted); });
}

frmSendSMTP::~frmSendSMTP()
{
    m_session.shutdown();
    const QString log = m_session.errorLog();
    if (!log.isEmpty() && logShower())
        logShower()(log);
}

int frmSendSMTP::run()
{
    LocalizeForm(this);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        move(s->availableGeometry().center() - rect().center());
    m_session.start();
    return exec();
}

void frmSendSMTP::closeEvent(QCloseEvent* e)
{
    // The close box closes the window at once in every state.
    m_session.shutdown();
    QDialog::closeEvent(e);
}

} // namespace vt
