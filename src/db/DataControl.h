#pragma once
// The record-source control: a bar with first / previous / next / last buttons
// and a caption, bound to the engine by database name, connect string,
// read-only and exclusive flags, record-set kind, source SQL and engine type.
// Refresh() opens its own connection (not one of the engine's listed
// databases, so CloseAllDatabases leaves it alone) and its record set.
//
// Notices: beforeChange(action, cancel) before every move and change of its
// record set (actions of db::DataAction: 1-4 moves, 5 add, 6 update, 7 delete,
// 8 find, 9 bookmark, 10 close; a handler cancels by setting *cancel, except
// for close), and moved() after every move and after each Refresh.
#include "db/engine/Recordset.h"

#include <QWidget>

class QLabel;
class QToolButton;

namespace vt {

class DataControl : public QWidget, private db::RecordsetListener {
    Q_OBJECT
public:
    explicit DataControl(QWidget* parent = nullptr);
    ~DataControl() override;

    QString DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& s) { m_databaseName = s; }
    QString Connect() const { return m_connect; }
    void setConnect(const QString& s) { m_connect = s; }
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool b) { m_readOnly = b; }
    bool Exclusive() const { return m_exclusive; }
    void setExclusive(bool b) { m_exclusive = b; }
    // db::dbOpenDynaset (the default), dbOpenTable, dbOpenSnapshot.
    int RecordsetType() const { return m_recordsetType; }
    void setRecordsetType(int t) { m_recordsetType = t; }
    QString RecordSource() const { return m_recordSource; }
    void setRecordSource(const QString& s) { m_recordSource = s; }
    // db::dbUseJet (the default) or db::dbUseODBC.
    int DefaultType() const { return m_defaultType; }
    void setDefaultType(int t) { m_defaultType = t; }

    // Re-opens: closes the record set and connection it has, opens the
    // database and the record source anew. Throws VtError on failure (the
    // control is then left without a record set).
    void Refresh();

    // The record set (nullptr when none).
    db::RecordsetPtr Recordset() const { return m_rs; }
    // Replaces the record set; nullptr detaches it, which also closes the
    // control's connection so the tables are free.
    void setRecordset(db::RecordsetPtr rs);
    db::DatabasePtr Database() const { return m_db; }

    QString Caption() const;
    void setCaption(const QString& text);

    // The buttons: move to the first, previous, next or last record; moving
    // before the first or past the last stays on it. Failures are reported
    // with ShowError.
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

    QToolButton* cmdFirst = nullptr;
    QToolButton* cmdPrevious = nullptr;
    QToolButton* cmdNext = nullptr;
    QToolButton* cmdLast = nullptr;
    QLabel* lblCaption = nullptr;

signals:
    void moved();
    void beforeChange(int action, bool* cancel);
    // A record set was attached, replaced or detached.
    void recordsetChanged();

private:
    void recordsetBeforeChange(db::Recordset& rs, int action, bool& cancel) override;
    void recordsetMoved(db::Recordset& rs) override;
    void recordsetClosing(db::Recordset& rs) override;
    void release();
    void updateButtons();
    template <class F> void move(F f);

    QString m_databaseName;
    QString m_connect;
    bool m_readOnly = false;
    bool m_exclusive = false;
    int m_recordsetType = db::dbOpenDynaset;
    QString m_recordSource;
    int m_defaultType = db::dbUseJet;
    db::DatabasePtr m_db;
    db::RecordsetPtr m_rs;
    db::RecordsetPtr m_closed;
    bool m_releasing = false;
};

} // namespace vt
