#include "frmErrorLog.h"

#include "texts/LocalizeForm.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vt {

frmErrorLog::frmErrorLog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmErrorLog"));
    setTag(this, 2011);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    txtErrorLog = new QPlainTextEdit(this);
    txtErrorLog->setObjectName(QStringLiteral("txtErrorLog"));
    txtErrorLog->setReadOnly(true);
    txtErrorLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtErrorLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(8, 8, 8, 8);
    lay->addWidget(txtErrorLog);
    // 7950 x 3225 twips at 96 dpi.
    resize(530, 215);
    LocalizeForm(this);
}

void frmErrorLog::append(const QString& text)
{
    m_text += text;
    if (isVisible())
        showEvent(nullptr);
}

QString frmErrorLog::text() const { return m_text; }

bool frmErrorLog::isEmpty() const { return m_text.isEmpty(); }

void frmErrorLog::showEvent(QShowEvent* e)
{
    QString shown = m_text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    txtErrorLog->setPlainText(shown);
    if (e)
        QDialog::showEvent(e);
}

} // namespace vt
