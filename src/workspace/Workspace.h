#pragma once
#include "DataObjects.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <functional>
#include <memory>
#include <vector>

namespace vt {

// Node kinds: the tags of the tree's nodes (also workspace file words).
namespace kind {
QString Outbox();
QString Database();
QString Table();
QString Query();
QString MailList();
QString Message();
QString Attachment();
} // namespace kind

// One node of the workspace tree. It owns its children and its data object.
struct Node {
    QString key;
    QString text;
    QString tag;
    QString image;
    QString selectedImage;
    bool expanded = false;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;
    std::unique_ptr<VTObject> object;

    int row() const;
    bool is(const QString& kindTag) const { return tag == kindTag; }
    template <class T> T* as() const { return dynamic_cast<T*>(object.get()); }
};

// The workspace: the tree of nodes, the key-to-node index (the object map),
// the key counter, the selected node and the copied node. It is the item
// model the main window's tree view shows; it knows nothing of widgets.
class Workspace : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit Workspace(QObject* parent = nullptr);
    ~Workspace() override;

    // Keys: "A" + counter; the counter only ever grows during a run.
    QString NewNodeKey();
    static QString MakeNodeKey(qint64 n);

    // Appends a node as the last child of parent (nullptr: a root node) with a
    // new key. The object, if any, is entered in the object map under the key.
    Node* addNode(Node* parent, const QString& text, const QString& tag, const QString& image,
                  const QString& selectedImage, bool expanded, std::unique_ptr<VTObject> object = {});
    // The same with the image and expansion that the kind's nodes are made with.
    Node* addKindNode(Node* parent, const QString& tag, const QString& text,
                      std::unique_ptr<VTObject> object = {});
    // Removes node with everything under it (and their objects).
    void removeNode(Node* node);
    // Empties the tree and the object map; the key counter keeps its value.
    void clear();

    const std::vector<std::unique_ptr<Node>>& roots() const { return m_roots; }
    const std::vector<std::unique_ptr<Node>>& childrenOf(const Node* parent) const;
    Node* nodeByKey(const QString& key) const { return m_map.value(key); }
    VTObject* object(const QString& key) const;
    int objectCount() const; // entries of the object map
    int nodeCount() const { return int(m_nodeCount); }

    QString UniqueNodeName(const QString& base, const Node* parent) const;
    Node* FindChildNode(const QString& text, const Node* parent) const;

    Node* selectedNode() const { return m_selected; }
    void setSelectedNode(Node* n);
    VTObject* GetSelectedObject() const;
    VTObject* GetSelectedObjectParent() const;
    VTObject* GetSelectedObjectGrandParent() const;
    VTObject* GetSelectedObjectGreatGrandParent() const;
    // The selected node's object, or that of the ancestor `up` levels above,
    // as T; nullptr when missing or of another type.
    template <class T> T* selected(int up = 0) const
    {
        const Node* n = ancestor(m_selected, up);
        return n ? n->as<T>() : nullptr;
    }
    static Node* ancestor(Node* n, int up);

    // The node copied for pasting (nullptr when none).
    Node* copiedNode() const { return m_copied; }
    void setCopiedNode(Node* n) { m_copied = n; }

    // Many nodes at once (loading): one model reset instead of a notice per node.
    void beginBulkChange();
    void endBulkChange();

    // How node images are turned into icons (set by the window that shows it).
    void setIconProvider(std::function<QIcon(const QString& imageKey)> p) { m_icons = std::move(p); }

    QModelIndex indexOf(const Node* n) const;
    Node* nodeOf(const QModelIndex& index) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Changes a node's text and tells the view.
    void setNodeText(Node* n, const QString& text);

signals:
    void selectionChanged(vt::Node* node);
    // The user edited a node's label in the view; handlers rename or refuse.
    void labelEdited(vt::Node* node, const QString& text);

private:
    void unmap(Node* n);
    std::vector<std::unique_ptr<Node>>& siblings(Node* parent);

    std::vector<std::unique_ptr<Node>> m_roots;
    QHash<QString, Node*> m_map;
    qint64 m_counter = 0;
    qint64 m_nodeCount = 0;
    Node* m_selected = nullptr;
    Node* m_copied = nullptr;
    int m_bulk = 0;
    std::function<QIcon(const QString&)> m_icons;
};

} // namespace vt
