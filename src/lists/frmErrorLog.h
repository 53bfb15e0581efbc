#pragma once
#include <QDialog>

class QPlainTextEdit;

namespace vt {

// The error log: a read-only text of the faults a batch operation collected,
// shown when the operation is over.
class frmErrorLog : public QDialog {
    Q_OBJECT
public:
    explicit frmErrorLog(QWidget* parent = nullptr);
    void append(const QString& text); // text as given (entries end in CR LF)
    QString text() const;
    bool isEmpty() const;

    QPlainTextEdit* txtErrorLog = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    QString m_text; // entries are collected here and shown when the window opens
};

} // namespace vt
