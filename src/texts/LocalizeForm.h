#pragma once
#include <QIcon>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace vt {

// Windows are designed with text numbers in place of texts: a window or
// control carries its number in the "tag" property, a menu's or menu item's
// text is the number itself. LocalizeForm replaces the numbers by the texts.
void setTag(QObject* o, const QString& tag);
inline void setTag(QObject* o, int id) { setTag(o, QString::number(id)); }
QString tagOf(const QObject* o);

// The column tags of a list view (QTreeWidget, or a QAbstractItemView whose
// model takes header texts): one tag per column.
void setColumnTags(QObject* view, const QStringList& tags);

// A keyed set of images; an image's key comes from its tag when localized.
class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QObject* parent = nullptr) : QObject(parent) {}
    struct Image {
        QString tag;
        QString key;
        QIcon icon;
    };
    void add(const QString& tag, const QIcon& icon, const QString& key = {});
    QIcon icon(const QString& key) const;
    std::vector<Image>& images() { return m_images; }
    const std::vector<Image>& images() const { return m_images; }

private:
    std::vector<Image> m_images;
};

// The toolbar button's key after localization (what click handlers compare).
QString buttonKey(const QObject* action);

// Applies the text table to window: its caption, labels, buttons, option
// buttons, frames, tabs, menus and menu items, toolbar buttons, list view
// headers and image lists. Other controls keep what they have.
void LocalizeForm(QWidget* window);

} // namespace vt
