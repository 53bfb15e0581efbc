#include "frmMain.h"

#include "platform/AppPath.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/Wildcard.h"
#include "texts/LocalizeForm.h"
#include "texts/ResText.h"
#include "workspace/InitWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTreeView>
#include <QWindow>

namespace vt {
namespace {
const QString kSettings = QStringLiteral("Settings");

int readTwips(const QString& key, int def)
{
    bool ok = false;
    const int v = GetSetting(kSettings, key, QString::number(def)).trimmed().toInt(&ok);
    return ok ? v : def;
}
} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setTag(this, 2010);

    imgSplitter = new QSplitter(Qt::Horizontal, this);
    imgSplitter->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter->setChildrenCollapsible(false);

    tvTreeView = new QTreeView(imgSplitter);
    tvTreeView->setObjectName(QStringLiteral("tvTreeView"));
    tvTreeView->setHeaderHidden(true);
    tvTreeView->setModel(&m_ws);
    tvTreeView->setEditTriggers(QAbstractItemView::EditKeyPressed);

    panes = new QStackedWidget(imgSplitter);
    panes->setObjectName(QStringLiteral("panes"));
    picDatabase = new QWidget(panes);
    picDatabase->setObjectName(QStringLiteral("picDatabase"));
    panes->addWidget(picDatabase);

    imgSplitter->addWidget(tvTreeView);
    imgSplitter->addWidget(panes);
    imgSplitter->setStretchFactor(1, 1);
    setCentralWidget(imgSplitter);

    sbStatusBar = new QStatusBar(this);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    m_status = new QLabel(sbStatusBar);
    m_status->setObjectName(QStringLiteral("sbPanel1"));
    sbStatusBar->addWidget(m_status, 1);
    setStatusBar(sbStatusBar);

    buildMenus();

    connect(tvTreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur) { m_ws.setSelectedNode(m_ws.nodeOf(cur)); });
    connect(&m_ws, &QAbstractItemModel::modelReset, this, &frmMain::showTreeState);
    connect(&m_ws, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent, int first, int last) {
        for (int r = first; r <= last; ++r) {
            const QModelIndex i = m_ws.index(r, 0, parent);
            if (Node* n = m_ws.nodeOf(i))
                tvTreeView->setExpanded(i, n->expanded);
        }
    });
    connect(tvTreeView, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (Node* n = m_ws.nodeOf(i))
            n->expanded = true;
    });
    connect(tvTreeView, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (Node* n = m_ws.nodeOf(i))
            n->expanded = false;
    });
}

frmMain::~frmMain() = default;

int frmMain::twipsPerPixel()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInch() : 96.0;
    const int t = int(1440.0 / (dpi > 0 ? dpi : 96.0) + 0.5);
    return t > 0 ? t : 15;
}

void frmMain::buildMenus()
{
    mnuFile = menuBar()->addMenu(QStringLiteral("2024"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileSave = mnuFile->addAction(QStringLiteral("2028"));
    mnuFileSave->setObjectName(QStringLiteral("mnuFileSave"));
    mnuFileSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::fileSave);
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QStringLiteral("2031"));
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
}

void frmMain::load()
{
    LocalizeForm(this);
    panes->setCurrentWidget(picDatabase);
    restorePlacement();
    InitWorkspace(m_ws, AppFilePath(QStringLiteral("Veltrana.vtd")), m_attach);
    showTreeState();
}

void frmMain::showTreeState()
{
    // Expansion is part of the model; the view follows it after a rebuild.
    std::function<void(const Node*)> apply = [&](const Node* n) {
        const QModelIndex i = m_ws.indexOf(n);
        tvTreeView->setExpanded(i, n->expanded);
        for (const auto& c : n->children)
            apply(c.get());
    };
    for (const auto& r : m_ws.roots())
        apply(r.get());
    if (Node* sel = m_ws.selectedNode())
        tvTreeView->setCurrentIndex(m_ws.indexOf(sel));
}

void frmMain::restorePlacement()
{
    const int tpp = twipsPerPixel();
    const int left = readTwips(QStringLiteral("MainLeft"), 1000);
    const int top = readTwips(QStringLiteral("MainTop"), 1000);
    const int width = readTwips(QStringLiteral("MainWidth"), 10000);
    const int height = readTwips(QStringLiteral("MainHeight"), 6500);
    move(left / tpp, top / tpp);
    resize(std::max(width / tpp, 3000 / tpp), std::max(height / tpp, 1));
    const int split = readTwips(QStringLiteral("Split"), 2640);
    const int w = std::max(1, width / tpp);
    const int s = std::clamp(split / tpp, 0, w);
    imgSplitter->setSizes({s, std::max(1, w - s)});
}

void frmMain::savePlacement()
{
    const int tpp = twipsPerPixel();
    const QRect g = (isMaximized() || isFullScreen()) ? geometry() : geometry();
    const QRect f = frameGeometry();
    SaveSetting(kSettings, QStringLiteral("MainLeft"), QString::number(f.left() * tpp));
    SaveSetting(kSettings, QStringLiteral("MainTop"), QString::number(f.top() * tpp));
    SaveSetting(kSettings, QStringLiteral("MainWidth"), QString::number(g.width() * tpp));
    SaveSetting(kSettings, QStringLiteral("MainHeight"), QString::number(g.height() * tpp));
    const QList<int> sizes = imgSplitter->sizes();
    if (!sizes.isEmpty())
        SaveSetting(kSettings, QStringLiteral("Split"), QString::number(sizes.front() * tpp));
}

void frmMain::fileSave()
{
    const QString file = AppFilePath(QStringLiteral("Veltrana.vtd"));
    QString error;
    if (!SaveWorkspace(m_ws, file, &error)) {
        ShowError(QStringLiteral("The workspace could not be saved to %1: %2").arg(file, error));
        return;
    }
    m_status->setText(ResText(1151));
}

bool frmMain::shutdown()
{
    switch (prompt().ask(ResText(1133), Prompt::Buttons::YesNoCancel)) {
    case Prompt::Answer::Yes:
        fileSave();
        break;
    case Prompt::Answer::Cancel:
        return false;
    default:
        break;
    }
    if (FileExists(AppFilePath(QStringLiteral("Outbox/MSG*.TMP")))) {
        if (prompt().ask(ResText(1157)) == Prompt::Answer::Yes && m_sendAll)
            m_sendAll();
    }
    if (!isMinimized())
        savePlacement();
    // Other windows of the program, the most recently opened first.
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        if (*it != this && (*it)->isVisible())
            (*it)->close();
    QFile::remove(AppFilePath(QStringLiteral("Undo.vtd")));
    QFile::remove(AppFilePath(QStringLiteral("Redo.vtd")));
    return true;
}

void frmMain::closeEvent(QCloseEvent* e)
{
    if (m_closing || shutdown()) {
        m_closing = true;
        e->accept();
    } else {
        e->ignore();
    }
}

} // namespace vt
