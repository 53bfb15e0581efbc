#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace vt {

// The Options dialog: all mail settings on three tabs (Internet Mail,
// Signature, General), written back on OK; Cancel writes nothing.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    QTabWidget* SSTab1 = nullptr;
    QLabel* lblName = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblServer = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtEmail = nullptr;
    QLineEdit* txtServer = nullptr;
    QPlainTextEdit* txtSignature = nullptr;
    QLabel* lblBCC = nullptr;
    QLineEdit* txtBCC = nullptr;
    QCheckBox* chkDefaultFilter = nullptr;
    QCheckBox* chkSendImmediate = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void load();
    void cmdOK_Click();
};

// View > Options: shows frmOptions modally; true when the user pressed OK.
bool ShowOptions(QWidget* parent);

} // namespace vt
