#pragma once
#include "workspace/Workspace.h"
#include "workspace/WorkspaceFile.h"

#include <QMainWindow>

class QAction;
class QMenu;
class QSplitter;
class QStackedWidget;
class QStatusBar;
class QTreeView;
class QLabel;

namespace vt {

// The main window: the workspace tree on the left, the pane of the selected
// node on the right, the menus, the toolbar and the status bar.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The load sequence: texts, current pane, hidden commands, placement, and
    // the workspace from AppFilePath("Veltrana.vtd").
    void load();

    Workspace& workspace() { return m_ws; }
    // How databases named by the workspace are attached.
    void setAttachRoutine(AttachDatabaseFn f) { m_attach = std::move(f); }
    const AttachDatabaseFn& attachRoutine() const { return m_attach; }
    // Send All of the Outbox (offered at exit when files wait there).
    void setSendAllRoutine(std::function<void()> f) { m_sendAll = std::move(f); }

    // File > Save: writes the workspace file whole and says "Data Saved".
    void fileSave();
    // The shutdown sequence; false when the user cancelled.
    bool shutdown();

    // Window placement in twips, as the settings store keeps it.
    static int twipsPerPixel();

    QTreeView* tvTreeView = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    QSplitter* imgSplitter = nullptr;
    QStackedWidget* panes = nullptr;
    QWidget* picDatabase = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileExit = nullptr;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    void restorePlacement();
    void savePlacement();
    void showTreeState();

    Workspace m_ws;
    AttachDatabaseFn m_attach;
    std::function<void()> m_sendAll;
    QLabel* m_status = nullptr;
    bool m_closing = false;
};

} // namespace vt
