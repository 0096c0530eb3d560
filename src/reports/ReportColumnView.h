#pragma once

#include <QAbstractItemView>

namespace vantorel {

// One column of a report: its entries one per line, every line as high as the others, so what is
// on show is found by arithmetic. Placing, painting and scrolling cost the same for ten entries
// as for a million, where a list or table view keeps a position or a header section per entry.
// It scrolls and selects (one entry at a time) on its own.
class ReportColumnView : public QAbstractItemView {
    Q_OBJECT

public:
    explicit ReportColumnView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    // A new set of entries shows at once, scroll bar and all, without waiting for a layout pass.
    void reset() override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void updateGeometries() override;
    // A screen reader follows the current entry and the chosen one, as a list view tells it.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    int rowCount() const;
    int lineHeight() const;
    int firstShownRow() const;
    // How many lines the viewport shows whole (at least one).
    int wholeLinesShown() const;
    int rowAt(int y) const;
};

} // namespace vantorel
