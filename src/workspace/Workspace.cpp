#include "Workspace.h"

#include "texts/ResText.h"

#include <QSet>

namespace vt {

namespace kind {
QString Outbox() { return ResText(txt::Outbox); }
QString Database() { return ResText(txt::Database); }
QString Table() { return ResText(txt::Table); }
QString Query() { return ResText(txt::Query); }
QString MailList() { return ResText(txt::MailList); }
QString Message() { return ResText(txt::Message); }
QString Attachment() { return ResText(txt::Attachment); }
} // namespace kind

int Node::row() const
{
    // Linear in the number of siblings; used by the view's index lookups.
    if (!parent)
        return -1;
    const auto& list = parent->children;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this)
            return int(i);
    return -1;
}

Workspace::Workspace(QObject* parent) : QAbstractItemModel(parent) {}

Workspace::~Workspace() = default;

QString Workspace::MakeNodeKey(qint64 n) { return QStringLiteral("A") + QString::number(n); }

QString Workspace::NewNodeKey() { return MakeNodeKey(m_counter++); }

std::vector<std::unique_ptr<Node>>& Workspace::siblings(Node* parent) { return parent ? parent->children : m_roots; }

const std::vector<std::unique_ptr<Node>>& Workspace::childrenOf(const Node* parent) const
{
    return parent ? parent->children : m_roots;
}

Node* Workspace::addNode(Node* parent, const QString& text, const QString& tag, const QString& image,
                         const QString& selectedImage, bool expanded, std::unique_ptr<VTObject> object)
{
    auto n = std::make_unique<Node>();
    n->key = NewNodeKey();
    n->text = text;
    n->tag = tag;
    n->image = image;
    n->selectedImage = selectedImage;
    n->expanded = expanded;
    n->parent = parent;
    n->object = std::move(object);
    Node* raw = n.get();
    auto& list = siblings(parent);
    const int row = int(list.size());
    if (!m_bulk)
        beginInsertRows(indexOf(parent), row, row);
    list.push_back(std::move(n));
    m_map.insert(raw->key, raw);
    ++m_nodeCount;
    if (!m_bulk)
        endInsertRows();
    return raw;
}

Node* Workspace::addKindNode(Node* parent, const QString& tag, const QString& text,
                             std::unique_ptr<VTObject> object)
{
    QString image = tag, selImage = tag;
    bool expanded = true;
    if (tag == kind::Database()) {
        image = ResText(txt::ClosedFolder);
        selImage = ResText(txt::OpenFolder);
    } else if (tag == kind::Query()) {
        image = selImage = ResText(txt::Table);
    } else if (tag == kind::Outbox() || tag == kind::Attachment()) {
        expanded = false;
    }
    return addNode(parent, text, tag, image, selImage, expanded, std::move(object));
}

void Workspace::unmap(Node* n)
{
    for (auto& c : n->children)
        unmap(c.get());
    m_map.remove(n->key);
    --m_nodeCount;
    if (m_selected == n)
        m_selected = nullptr;
    if (m_copied == n)
        m_copied = nullptr;
}

void Workspace::removeNode(Node* node)
{
    if (!node)
        return;
    auto& list = siblings(node->parent);
    const int row = node->parent ? node->row() : [&] {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].get() == node)
                return int(i);
        return -1;
    }();
    if (row < 0)
        return;
    const bool hadSelection = m_selected != nullptr;
    if (!m_bulk)
        beginRemoveRows(indexOf(node->parent), row, row);
    unmap(node);
    list.erase(list.begin() + row);
    if (!m_bulk)
        endRemoveRows();
    if (hadSelection && !m_selected)
        emit selectionChanged(nullptr);
}

void Workspace::clear()
{
    beginResetModel();
    m_roots.clear();
    m_map.clear();
    m_nodeCount = 0;
    m_selected = nullptr;
    m_copied = nullptr;
    endResetModel();
}

VTObject* Workspace::object(const QString& key) const
{
    Node* n = m_map.value(key);
    return n ? n->object.get() : nullptr;
}

int Workspace::objectCount() const
{
    int c = 0;
    for (Node* n : m_map)
        c += n->object != nullptr;
    return c;
}

QString Workspace::UniqueNodeName(const QString& base, const Node* parent) const
{
    const auto& list = childrenOf(parent);
    QSet<QString> taken;
    for (const auto& c : list)
        taken.insert(c->text);
    for (qint64 i = 1;; ++i) {
        QString name = base + QString::number(i);
        if (!taken.contains(name))
            return name;
    }
}

Node* Workspace::FindChildNode(const QString& text, const Node* parent) const
{
    for (const auto& c : childrenOf(parent))
        if (c->text == text)
            return c.get();
    return nullptr;
}

void Workspace::setSelectedNode(Node* n)
{
    if (m_selected == n)
        return;
    m_selected = n;
    emit selectionChanged(n);
}

Node* Workspace::ancestor(Node* n, int up)
{
    while (n && up-- > 0)
        n = n->parent;
    return n;
}

VTObject* Workspace::GetSelectedObject() const
{
    Node* n = ancestor(m_selected, 0);
    return n ? n->object.get() : nullptr;
}
VTObject* Workspace::GetSelectedObjectParent() const
{
    Node* n = ancestor(m_selected, 1);
    return n ? n->object.get() : nullptr;
}
VTObject* Workspace::GetSelectedObjectGrandParent() const
{
    Node* n = ancestor(m_selected, 2);
    return n ? n->object.get() : nullptr;
}
VTObject* Workspace::GetSelectedObjectGreatGrandParent() const
{
    Node* n = ancestor(m_selected, 3);
    return n ? n->object.get() : nullptr;
}

void Workspace::beginBulkChange()
{
    if (m_bulk++ == 0)
        beginResetModel();
}

void Workspace::endBulkChange()
{
    if (--m_bulk == 0)
        endResetModel();
}

QModelIndex Workspace::indexOf(const Node* n) const
{
    if (!n)
        return {};
    int row;
    if (n->parent) {
        row = n->row();
    } else {
        row = -1;
        for (size_t i = 0; i < m_roots.size(); ++i)
            if (m_roots[i].get() == n)
                row = int(i);
    }
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<Node*>(n));
}

Node* Workspace::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex Workspace::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    const auto& list = childrenOf(nodeOf(parent));
    if (row >= int(list.size()))
        return {};
    return createIndex(row, 0, list[size_t(row)].get());
}

QModelIndex Workspace::parent(const QModelIndex& child) const
{
    Node* n = nodeOf(child);
    return n ? indexOf(n->parent) : QModelIndex();
}

int Workspace::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(childrenOf(nodeOf(parent)).size());
}

int Workspace::columnCount(const QModelIndex&) const { return 1; }

QVariant Workspace::data(const QModelIndex& index, int role) const
{
    Node* n = nodeOf(index);
    if (!n)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return n->text;
    case Qt::DecorationRole:
        if (m_icons)
            return m_icons(n == m_selected ? n->selectedImage : n->image);
        return {};
    case Qt::ToolTipRole:
        return n->text;
    default:
        return {};
    }
}

Qt::ItemFlags Workspace::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool Workspace::setData(const QModelIndex& index, const QVariant& value, int role)
{
    Node* n = nodeOf(index);
    if (!n || role != Qt::EditRole)
        return false;
    // Renaming has rules of its own per kind; the handler decides.
    emit labelEdited(n, value.toString());
    return true;
}

void Workspace::setNodeText(Node* n, const QString& text)
{
    n->text = text;
    const QModelIndex i = indexOf(n);
    emit dataChanged(i, i);
}

} // namespace vt
