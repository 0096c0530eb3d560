#include "common/ListAccessible.h"

#include <QAbstractItemView>

#include <QAccessibleWidget>
#include <QHash>
#include <QItemSelectionModel>
#include <QPointer>

namespace vantorel {

namespace {

QModelIndex entryIndex(const QAbstractItemView* view, int row)
{
    const QAbstractItemModel* entries = view->model();
    return entries ? entries->index(row, 0, view->rootIndex()) : QModelIndex();
}

int entryCount(const QAbstractItemView* view)
{
    const QAbstractItemModel* entries = view->model();
    return entries ? entries->rowCount(view->rootIndex()) : 0;
}

// One entry of a list, made when a screen reader asks for it.
class ReportEntryAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ReportEntryAccessible(QAbstractItemView* view, int row)
        : m_view(view)
        , m_row(row)
    {
    }

    bool isValid() const override { return m_view && m_row < entryCount(m_view); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid() || (kind != QAccessible::Name && kind != QAccessible::Value))
            return {};
        const QModelIndex entry = index();
        const QVariant whole = entry.data(Qt::AccessibleTextRole);
        return whole.isValid() ? whole.toString() : entry.data().toString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect place = m_view->visualRect(index()).intersected(m_view->viewport()->rect());
        return place.isEmpty() ? QRect() : QRect(m_view->viewport()->mapToGlobal(place.topLeft()), place.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.selectable = state.focusable = true;
        state.selected = isSelected();
        state.focused = m_view->hasFocus() && m_view->currentIndex() == index();
        state.invisible = state.offscreen = rect().isEmpty();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    bool isSelected() const override { return m_view->selectionModel()->isSelected(index()); }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QModelIndex index() const { return entryIndex(m_view, m_row); }

    QPointer<QAbstractItemView> m_view;
    int m_row;
};

// The list as a table of one column: the entries are its children and the cells of its table.
class ListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ListAccessible(QAbstractItemView* view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }

    ~ListAccessible() override { forgetEntries(); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return entryCount(view()); }
    QAccessibleInterface* child(int row) const override { return cellAt(row, 0); }

    int indexOfChild(const QAccessibleInterface* entry) const override
    {
        const auto* cell = entry ? const_cast<QAccessibleInterface*>(entry)->tableCellInterface() : nullptr;
        return cell && entry->parent() == this ? cell->rowIndex() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QModelIndex entry = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return entry.isValid() ? cellAt(entry.row(), 0) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        const QModelIndex current = view()->currentIndex();
        return view()->hasFocus() && current.isValid() ? cellAt(current.row(), 0) : nullptr;
    }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (column != 0 || row < 0 || row >= entryCount(view()))
            return nullptr;
        auto made = m_entries.constFind(row);
        if (made != m_entries.constEnd())
            return QAccessible::accessibleInterface(*made);
        auto* entry = new ReportEntryAccessible(view(), row);
        m_entries.insert(row, QAccessible::registerAccessibleInterface(entry));
        return entry;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override { return column == 0 ? text(QAccessible::Name) : QString(); }
    QString rowDescription(int) const override { return {}; }
    int columnCount() const override { return 1; }
    int rowCount() const override { return entryCount(view()); }

    int selectedCellCount() const override { return int(selectedRows().size()); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int row : selectedRows())
            cells.append(cellAt(row, 0));
        return cells;
    }

    QList<int> selectedRows() const override
    {
        QList<int> rows;
        for (const QModelIndex& entry : view()->selectionModel()->selectedIndexes())
            rows.append(entry.row());
        return rows;
    }

    bool isRowSelected(int row) const override
    {
        return view()->selectionModel()->isSelected(entryIndex(view(), row));
    }

    bool selectRow(int row) override
    {
        const QModelIndex entry = entryIndex(view(), row);
        if (!entry.isValid())
            return false;
        view()->selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
        return true;
    }

    bool unselectRow(int row) override
    {
        const QModelIndex entry = entryIndex(view(), row);
        if (!entry.isValid())
            return false;
        view()->selectionModel()->select(entry, QItemSelectionModel::Deselect);
        return true;
    }

    void modelChange(QAccessibleTableModelChangeEvent*) override
    {
        // The entries' rows may now mean other records: they are made afresh when asked for.
        forgetEntries();
    }

private:
    QAbstractItemView* view() const { return static_cast<QAbstractItemView*>(widget()); }

    void forgetEntries()
    {
        for (QAccessible::Id made : std::as_const(m_entries))
            QAccessible::deleteAccessibleInterface(made);
        m_entries.clear();
    }

    // Only the entries a screen reader has asked for, by row.
    mutable QHash<int, QAccessible::Id> m_entries;
};

} // namespace

QAccessibleInterface* listAccessible(const QString& className, QObject* object)
{
    // Every list of the program is one of these, one column of entries each. Qt's own interface
    // for a plain list view answers first, hence the program's own class names.
    static const QStringList lists
        = { QStringLiteral("QListWidget"), QStringLiteral("vantorel::RepairDateList"),
              QStringLiteral("vantorel::ReportColumnView") };
    if (lists.contains(className))
        return new ListAccessible(static_cast<QAbstractItemView*>(object));
    return nullptr;
}

} // namespace vantorel
