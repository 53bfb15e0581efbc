#pragma once
#include "SmtpSession.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

namespace vt {

class DataControl;

// The send window: a status line and Cancel over an SmtpSession. Its error
// log is shown when the window is released, if anything was logged.
class frmSendSMTP : public QDialog {
    Q_OBJECT
public:
    explicit frmSendSMTP(QWidget* owner = nullptr);
    ~frmSendSMTP() override;

    SmtpSession& session() { return m_session; }
    // Loads the window (texts, sender, timer) and runs it modally.
    int run();

    // How the error log is shown on release (tests capture it instead).
    static void setErrorLogShower(std::function<void(const QString& log)> f);

    QLabel* lblSendMail = nullptr;
    QPushButton* cmdCancel = nullptr;
    DataControl* datSendMail = nullptr; // the member rows while generating

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    SmtpSession m_session;
};

} // namespace vt
