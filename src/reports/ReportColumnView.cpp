#include "reports/ReportColumnView.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace vantorel {

namespace {

// Entries keep to their column: a long one is cut with "..." and shows whole as a tool tip.
class ColumnEntryDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        const QString text = index.data().toString();
        if (event->type() != QEvent::ToolTip
            || option.fontMetrics.horizontalAdvance(text) < view->visualRect(index).width())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), index.data(Qt::ToolTipRole).toString(), view);
        return true;
    }
};

} // namespace

ReportColumnView::ReportColumnView(QWidget* parent)
    : QAbstractItemView(parent)
{
    setItemDelegate(new ColumnEntryDelegate(this));
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The lists read as part of the window: its own background, as a menu bar has.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Window));
    setPalette(colours);
}

int ReportColumnView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int ReportColumnView::lineHeight() const
{
    return fontMetrics().height() + 2;
}

int ReportColumnView::firstShownRow() const
{
    return verticalScrollBar()->value();
}

int ReportColumnView::wholeLinesShown() const
{
    return std::max(1, viewport()->height() / lineHeight());
}

int ReportColumnView::rowAt(int y) const
{
    const int row = firstShownRow() + y / lineHeight();
    return y >= 0 && row < rowCount() ? row : -1;
}

QRect ReportColumnView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.parent() != rootIndex())
        return {};
    return {0, (index.row() - firstShownRow()) * lineHeight(), viewport()->width(), lineHeight()};
}

QModelIndex ReportColumnView::indexAt(const QPoint& point) const
{
    const int row = rowAt(point.y());
    return row < 0 ? QModelIndex() : model()->index(row, 0, rootIndex());
}

void ReportColumnView::reset()
{
    QAbstractItemView::reset();
    updateGeometries();
}

int ReportColumnView::verticalOffset() const
{
    return firstShownRow() * lineHeight();
}

void ReportColumnView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const int shown = wholeLinesShown();
    const int first = firstShownRow();
    switch (hint) {
    case PositionAtTop:
        verticalScrollBar()->setValue(row);
        break;
    case PositionAtBottom:
        verticalScrollBar()->setValue(row - shown + 1);
        break;
    case PositionAtCenter:
        verticalScrollBar()->setValue(row - shown / 2);
        break;
    case EnsureVisible:
        if (row < first)
            verticalScrollBar()->setValue(row);
        else if (row >= first + shown)
            verticalScrollBar()->setValue(row - shown + 1);
        break;
    }
}

QModelIndex ReportColumnView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int last = rowCount() - 1;
    if (last < 0)
        return {};
    const QModelIndex current = currentIndex();
    // From no entry at all, any move starts at the first.
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    int row = current.row();
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= wholeLinesShown();
        break;
    case MovePageDown:
        row += wholeLinesShown();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = last;
        break;
    default:
        break;
    }
    return model()->index(std::clamp(row, 0, last), 0, rootIndex());
}

void ReportColumnView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    const QRect rows = rect.normalized();
    const int top = rowAt(std::max(rows.top(), 0));
    if (top < 0)
        return;
    const int bottom = std::max(top, rowAt(std::min(rows.bottom(), viewport()->height() - 1)));
    selectionModel()->select(QItemSelection(model()->index(top, 0, rootIndex()), model()->index(bottom, 0, rootIndex())),
                             command);
}

QRegion ReportColumnView::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        if (range.isValid())
            region += visualRect(model()->index(range.top(), 0, rootIndex()))
                          .united(visualRect(model()->index(range.bottom(), 0, rootIndex())));
    }
    return region.intersected(viewport()->rect());
}

void ReportColumnView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ReportColumnView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int first = rowAt(event->rect().top());
    if (first < 0)
        return;
    const int last = std::min(rowCount() - 1, firstShownRow() + event->rect().bottom() / lineHeight());
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem entry = option;
        entry.rect = visualRect(index);
        if (selectionModel()->isSelected(index))
            entry.state |= QStyle::State_Selected;
        if (focused && index == current)
            entry.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, entry, index);
    }
}

void ReportColumnView::updateGeometries()
{
    // One step of the scroll bar is one entry.
    const int shown = wholeLinesShown();
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - shown));
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setSingleStep(1);
    QAbstractItemView::updateGeometries();
}

void ReportColumnView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QAbstractItemView::currentChanged(current, previous);
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        QAccessibleEvent moved(this, QAccessible::Focus);
        moved.setChild(current.row());
        QAccessible::updateAccessibility(&moved);
    }
}

void ReportColumnView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    if (QAccessible::isActive() && !selected.isEmpty()) {
        QAccessibleEvent chosen(this, QAccessible::Selection);
        chosen.setChild(selected.first().top());
        QAccessible::updateAccessibility(&chosen);
    }
}

} // namespace vantorel
