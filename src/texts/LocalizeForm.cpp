#include "LocalizeForm.h"

#include "ResText.h"

#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidgetAction>

namespace vt {
namespace {
const char* const kTag = "tag";
const char* const kColumnTags = "columnTags";
const char* const kKey = "key";

QString textOf(const QString& tag) { return ResText(tag).value_or(QString()); }
} // namespace

void setTag(QObject* o, const QString& tag) { o->setProperty(kTag, tag); }

QString tagOf(const QObject* o) { return o->property(kTag).toString(); }

void setColumnTags(QObject* view, const QStringList& tags) { view->setProperty(kColumnTags, tags); }

QString buttonKey(const QObject* action) { return action->property(kKey).toString(); }

void ImageList::add(const QString& tag, const QIcon& icon, const QString& key)
{
    m_images.push_back({tag, key.isEmpty() ? tag : key, icon});
}

QIcon ImageList::icon(const QString& key) const
{
    for (const auto& i : m_images)
        if (i.key == key)
            return i.icon;
    return {};
}

void LocalizeForm(QWidget* window)
{
    window->setWindowTitle(textOf(tagOf(window)));

    for (QLabel* l : window->findChildren<QLabel*>())
        l->setText(textOf(tagOf(l)));
    for (QPushButton* b : window->findChildren<QPushButton*>())
        b->setText(textOf(tagOf(b)));
    for (QRadioButton* b : window->findChildren<QRadioButton*>())
        b->setText(textOf(tagOf(b)));
    for (QGroupBox* g : window->findChildren<QGroupBox*>())
        g->setTitle(textOf(tagOf(g)));
    for (QTabWidget* t : window->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i)
            t->setTabText(i, textOf(t->tabText(i)));

    // Menu items: every action of the menu bars and menus, each once. A menu's
    // title is its menu action's text, so submenus are covered too.
    QSet<QAction*> seen;
    auto localizeMenuItems = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (seen.contains(a))
                continue;
            seen.insert(a);
            if (a->isSeparator() || a->text() == QLatin1String("-"))
                continue;
            a->setText(textOf(a->text()));
        }
    };
    for (QMenuBar* mb : window->findChildren<QMenuBar*>())
        localizeMenuItems(mb->actions());
    for (QMenu* m : window->findChildren<QMenu*>())
        localizeMenuItems(m->actions());

    // Toolbar buttons: description, key and tooltip from the button's tag.
    for (QToolBar* tb : window->findChildren<QToolBar*>()) {
        for (QAction* a : tb->actions()) {
            if (a->isSeparator() || qobject_cast<QWidgetAction*>(a) || !a->property(kTag).isValid())
                continue;
            const QString t = textOf(tagOf(a));
            a->setText(t);
            a->setToolTip(t);
            a->setStatusTip(t);
            a->setProperty(kKey, t);
        }
    }

    // List view headers: a numbered column gets its text, any other one blank.
    for (QAbstractItemView* v : window->findChildren<QAbstractItemView*>()) {
        const QVariant tags = v->property(kColumnTags);
        if (!tags.isValid())
            continue;
        const QStringList list = tags.toStringList();
        for (int i = 0; i < list.size(); ++i) {
            const QString h = ResText(list[i]).value_or(QStringLiteral(" "));
            if (auto* tw = qobject_cast<QTreeWidget*>(v))
                tw->headerItem()->setText(i, h);
            else if (v->model())
                v->model()->setHeaderData(i, Qt::Horizontal, h);
        }
    }

    for (ImageList* il : window->findChildren<ImageList*>())
        for (auto& img : il->images())
            if (!img.tag.isEmpty())
                img.key = textOf(img.tag);
}

} // namespace vt
