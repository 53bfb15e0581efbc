#include "DataControl.h"

#include "db/engine/Engine.h"
#include "platform/Error.h"
#include "platform/Prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace vt {

DataControl::DataControl(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto button = [&](const char* name, QStyle::StandardPixmap icon, void (DataControl::*slot)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    cmdFirst = button("cmdFirst", QStyle::SP_MediaSkipBackward, &DataControl::moveFirst);
    cmdPrevious = button("cmdPrevious", QStyle::SP_MediaSeekBackward, &DataControl::movePrevious);
    cmdNext = button("cmdNext", QStyle::SP_MediaSeekForward, &DataControl::moveNext);
    cmdLast = button("cmdLast", QStyle::SP_MediaSkipForward, &DataControl::moveLast);
    lblCaption = new QLabel(this);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblCaption->setFrameShape(QFrame::StyledPanel);
    lblCaption->setFrameShadow(QFrame::Sunken);
    lblCaption->setAlignment(Qt::AlignCenter);
    lblCaption->setMinimumWidth(60);
    row->addWidget(cmdFirst);
    row->addWidget(cmdPrevious);
    row->addWidget(lblCaption, 1);
    row->addWidget(cmdNext);
    row->addWidget(cmdLast);
    setFixedHeight(cmdFirst->sizeHint().height());
    updateButtons();
}

DataControl::~DataControl()
{
    if (m_rs)
        m_rs->removeListener(this);
}

QString DataControl::Caption() const { return lblCaption->text(); }

void DataControl::setCaption(const QString& text) { lblCaption->setText(text); }

void DataControl::release()
{
    m_closed.reset();
    if (!m_rs && !m_db)
        return;
    m_releasing = true;
    if (m_rs) {
        bool cancel = false; // a close cannot be refused
        emit beforeChange(db::actClose, &cancel);
        m_rs->removeListener(this);
        m_rs->Close();
    }
    m_rs.reset();
    if (m_db)
        m_db->Close();
    m_db.reset();
    m_releasing = false;
}

void DataControl::setRecordset(db::RecordsetPtr rs)
{
    if (rs == m_rs)
        return;
    if (!rs) {
        release();
    } else {
        if (m_rs) {
            bool cancel = false;
            emit beforeChange(db::actClose, &cancel);
            m_rs->removeListener(this);
        }
        m_rs = std::move(rs);
        m_rs->addListener(this);
    }
    updateButtons();
    emit recordsetChanged();
    if (m_rs)
        emit moved();
}

void DataControl::Refresh()
{
    release();
    updateButtons();
    try {
        m_db = db::Engine().OpenUnlisted(m_databaseName, m_exclusive, m_readOnly, m_connect, m_defaultType);
        m_rs = m_db->OpenRecordset(m_recordSource, m_recordsetType);
        m_rs->addListener(this);
    } catch (...) {
        m_rs.reset();
        if (m_db)
            m_db->Close();
        m_db.reset();
        updateButtons();
        emit recordsetChanged();
        throw;
    }
    updateButtons();
    emit recordsetChanged();
    emit moved();
}

void DataControl::updateButtons()
{
    const bool on = m_rs && m_rs->isOpen();
    for (QToolButton* b : {cmdFirst, cmdPrevious, cmdNext, cmdLast})
        b->setEnabled(on);
}

template <class F> void DataControl::move(F f)
{
    if (!m_rs || !m_rs->isOpen() || m_rs->RecordCount() == 0)
        return;
    try {
        f(*m_rs);
    } catch (const VtError& e) {
        ShowError(e);
    }
}

void DataControl::moveFirst()
{
    move([](db::Recordset& rs) { rs.MoveFirst(); });
}

void DataControl::movePrevious()
{
    move([](db::Recordset& rs) {
        if (rs.BOF())
            return rs.MoveFirst();
        rs.MovePrevious();
        if (rs.BOF())
            rs.MoveFirst();
    });
}

void DataControl::moveNext()
{
    move([](db::Recordset& rs) {
        if (rs.EOF_())
            return rs.MoveLast();
        rs.MoveNext();
        if (rs.EOF_())
            rs.MoveLast();
    });
}

void DataControl::moveLast()
{
    move([](db::Recordset& rs) { rs.MoveLast(); });
}

void DataControl::recordsetBeforeChange(db::Recordset&, int action, bool& cancel)
{
    bool c = false;
    emit beforeChange(action, &c);
    if (c && action != db::actClose)
        cancel = true;
}

void DataControl::recordsetMoved(db::Recordset&) { emit moved(); }

void DataControl::recordsetClosing(db::Recordset& rs)
{
    if (m_releasing || &rs != m_rs.get())
        return;
    // Closed by its holder directly: the control lets go of it.
    bool cancel = false;
    emit beforeChange(db::actClose, &cancel);
    m_closed = std::move(m_rs); // still running its Close: released later
    updateButtons();
    emit recordsetChanged();
}

} // namespace vt
