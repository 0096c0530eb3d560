#include "reports/TextColumnModel.h"

#include "common/ShownText.h"

namespace vantorel {

namespace {

constexpr int kShownChars = 500;
constexpr int kToolTipSourceChars = 2001;

} // namespace

void TextColumnModel::setColumn(data::TextColumn column)
{
    beginResetModel();
    m_column = std::move(column);
    endResetModel();
}

int TextColumnModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_column.size());
}

QVariant TextColumnModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // More than a column is wide, and a small part of a value of megabytes.
        return firstLineShown(m_column.text(index.row(), 4 * kShownChars), kShownChars);
    case Qt::ToolTipRole:
        return toolTipShown(m_column.text(index.row(), 4 * kToolTipSourceChars));
    case kWholeTextRole:
    case Qt::AccessibleTextRole: // a screen reader reads what a display cuts short
        return m_column.text(index.row());
    default:
        return {};
    }
}

} // namespace vantorel
