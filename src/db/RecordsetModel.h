#pragma once
// A table model over a record set for QTableView: one row per record, one
// column per field (the field name as header). Rows are read lazily by the
// record set in pages as the view asks for them, so a million-row table opens
// at once. Reading does not move the record set's current record.
//
// Editing (when setEditable and the record set is updatable) moves the record
// set to the row, edits the field and saves; a failure is reported through
// editFailed and the row keeps its value. Flag fields show as check boxes.
// The model follows rows added, deleted and changed through the record set.
#include "db/engine/Recordset.h"

#include <QAbstractTableModel>
#include <QPointer>

namespace vt {

class DataControl;

class RecordsetModel : public QAbstractTableModel, private db::RecordsetListener {
    Q_OBJECT
public:
    explicit RecordsetModel(QObject* parent = nullptr);
    ~RecordsetModel() override;

    // Shows rs (nullptr: nothing).
    void setRecordset(db::RecordsetPtr rs);
    db::RecordsetPtr recordset() const { return m_rs; }
    // Shows the record set of dat, following it whenever dat re-opens.
    void bindTo(DataControl* dat);
    void setEditable(bool on) { m_editable = on; }
    bool editable() const { return m_editable; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The display text of a value of a field type (dates in the short date
    // form, with the time when not midnight; flags True / False).
    static QString displayText(const QVariant& v, int type);

signals:
    void editFailed(const QString& message);

private:
    void recordsetRowsChanged(db::Recordset& rs, Change change, long position) override;
    void recordsetClosing(db::Recordset& rs) override;
    void detach();

    db::RecordsetPtr m_rs;
    QPointer<DataControl> m_dat;
    QMetaObject::Connection m_datConn;
    int m_rows = 0;
    int m_cols = 0;
    bool m_editable = false;
};

} // namespace vt
