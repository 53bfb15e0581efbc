#pragma once
#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vt {

// The Internet Mail Settings dialog: the sender's name and address and the
// SMTP server, written to "Internet Mail" on OK. Start-up shows it when no
// usable configuration was found.
class frmSMTPDefaults : public QDialog {
    Q_OBJECT
public:
    explicit frmSMTPDefaults(QWidget* parent = nullptr);

    // How Help opens a help topic (the help viewer); it may throw VtError,
    // which Help reports with ShowError.
    using HelpHandler = std::function<void(const QString& file, int topic)>;
    static void setHelpHandler(HelpHandler handler);
    static constexpr int HelpTopic = 2;

    QLabel* lblInstruction = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblServer = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtEmail = nullptr;
    QLineEdit* txtServer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

private:
    void load();
    void cmdOK_Click();
    void cmdHelp_Click();
};

// Shows frmSMTPDefaults modally; true when the user pressed OK.
bool ShowSMTPDefaults(QWidget* parent = nullptr);

} // namespace vt
