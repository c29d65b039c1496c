#pragma once

// Paths as nodes of a tree, one node per folder or file, letter case
// ignored: a path's node is found or made in time linear in its length, and
// a package of many deep paths keeps one small key per component instead of
// one key per prefix of every path.

#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>

namespace p95 {

class PathTree {
public:
    static constexpr int kRoot = 0;

    // The node of component below parent, made when it is new.
    int child(int parent, const QString& component) {
        const auto key = std::make_pair(parent, component.toCaseFolded());
        const auto it = m_children.constFind(key);
        if (it != m_children.constEnd())
            return *it;
        m_children.insert(key, m_size);
        return m_size++;
    }

    // The node of a path below parent, made as needed.
    int path(const QStringList& components, int parent = kRoot) {
        for (const QString& component : components)
            parent = child(parent, component);
        return parent;
    }

    // The node of a path, or -1 when it was never made.
    int find(const QStringList& components) const {
        int node = kRoot;
        for (const QString& component : components) {
            const auto it = m_children.constFind(std::make_pair(node, component.toCaseFolded()));
            if (it == m_children.constEnd())
                return -1;
            node = *it;
        }
        return node;
    }

    int size() const { return m_size; }

private:
    QHash<std::pair<int, QString>, int> m_children;
    int m_size = 1;
};

} // namespace p95
