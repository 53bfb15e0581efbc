#include "RecordsetModel.h"

#include "DataControl.h"
#include "platform/Error.h"

#include <QDateTime>
#include <QLocale>
#include <limits>

namespace vt {

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {}

RecordsetModel::~RecordsetModel()
{
    if (m_rs)
        m_rs->removeListener(this);
}

void RecordsetModel::detach()
{
    if (m_rs)
        m_rs->removeListener(this);
    m_rs.reset();
    m_rows = m_cols = 0;
}

void RecordsetModel::setRecordset(db::RecordsetPtr rs)
{
    beginResetModel();
    detach();
    m_rs = std::move(rs);
    if (m_rs && m_rs->isOpen()) {
        m_rs->addListener(this);
        m_rows = int(std::min<long>(m_rs->RecordCount(), std::numeric_limits<int>::max()));
        m_cols = m_rs->Fields().Count();
    } else {
        m_rs.reset();
    }
    endResetModel();
}

void RecordsetModel::bindTo(DataControl* dat)
{
    if (m_datConn)
        disconnect(m_datConn);
    m_dat = dat;
    if (dat) {
        m_datConn = connect(dat, &DataControl::recordsetChanged, this, [this] {
            if (m_dat)
                setRecordset(m_dat->Recordset());
        });
        setRecordset(dat->Recordset());
    } else {
        setRecordset(nullptr);
    }
}

int RecordsetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int RecordsetModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_cols; }

QString RecordsetModel::displayText(const QVariant& v, int type)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        const QLocale loc;
        QString s = loc.toString(dt.date(), QLocale::ShortFormat);
        if (dt.time() != QTime(0, 0))
            s += ' ' + loc.toString(dt.time(), QLocale::ShortFormat);
        return s;
    }
    case QMetaType::Double:
    case QMetaType::Float:
        if (type == db::dbCurrency)
            return QLocale().toString(v.toDouble(), 'f', 2);
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QByteArray: return QStringLiteral("(binary)");
    default: return v.toString();
    }
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (!m_rs || !index.isValid() || index.row() >= m_rows || index.column() >= m_cols)
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole
        && role != Qt::TextAlignmentRole)
        return {};
    const int type = m_rs->Fields(index.column()).Type();
    if (role == Qt::TextAlignmentRole) {
        const bool number = type >= db::dbByte && type <= db::dbDouble;
        return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    QVariant v;
    try {
        v = m_rs->valueAt(index.row(), index.column());
    } catch (const VtError&) {
        return {};
    }
    if (type == db::dbBoolean) {
        if (role == Qt::CheckStateRole)
            return v.isNull() ? QVariant() : QVariant(v.toBool() ? Qt::Checked : Qt::Unchecked);
        return role == Qt::EditRole ? v : QVariant();
    }
    if (role == Qt::CheckStateRole)
        return {};
    if (role == Qt::EditRole)
        return v.typeId() == QMetaType::QDateTime ? QVariant(displayText(v, type)) : v;
    return displayText(v, type);
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole || !m_rs)
        return QAbstractTableModel::headerData(section, o, role);
    if (o == Qt::Horizontal)
        return section < m_cols ? m_rs->Fields(section).Name() : QVariant();
    return section + 1;
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!m_rs || !index.isValid())
        return f;
    if (m_editable && m_rs->Updatable()) {
        if (m_rs->Fields(index.column()).Type() == db::dbBoolean)
            f |= Qt::ItemIsUserCheckable;
        else
            f |= Qt::ItemIsEditable;
    }
    return f;
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_rs || !index.isValid() || !m_editable || !m_rs->Updatable())
        return false;
    const int type = m_rs->Fields(index.column()).Type();
    QVariant v = value;
    if (role == Qt::CheckStateRole && type == db::dbBoolean)
        v = QVariant(value.toInt() == Qt::Checked);
    else if (role != Qt::EditRole)
        return false;
    if (v.typeId() == QMetaType::QString && v.toString().isEmpty() && type != db::dbText && type != db::dbMemo)
        v = QVariant(); // an emptied cell of a number or date holds nothing
    try {
        if (m_rs->AbsolutePosition() != index.row())
            m_rs->setAbsolutePosition(index.row());
        if (m_rs->AbsolutePosition() != index.row())
            return false; // the move was refused
        m_rs->Edit();
        m_rs->Fields(index.column()).setValue(v);
        m_rs->Update();
        return true;
    } catch (const VtError& e) {
        m_rs->CancelUpdate();
        emit editFailed(e.message());
        return false;
    }
}

void RecordsetModel::recordsetRowsChanged(db::Recordset& rs, Change change, long position)
{
    switch (change) {
    case RowInserted:
        beginInsertRows({}, m_rows, m_rows);
        ++m_rows;
        endInsertRows();
        break;
    case RowRemoved:
        if (position >= 0 && position < m_rows) {
            beginRemoveRows({}, int(position), int(position));
            --m_rows;
            endRemoveRows();
        }
        break;
    case RowUpdated:
        if (position >= 0 && position < m_rows)
            emit dataChanged(index(int(position), 0), index(int(position), m_cols - 1));
        break;
    case Reset:
        beginResetModel();
        m_rows = int(std::min<long>(rs.RecordCount(), std::numeric_limits<int>::max()));
        endResetModel();
        break;
    }
}

void RecordsetModel::recordsetClosing(db::Recordset&)
{
    beginResetModel();
    m_rs.reset(); // the record set is closing: drop it without touching it again
    m_rows = m_cols = 0;
    endResetModel();
}

} // namespace vt
