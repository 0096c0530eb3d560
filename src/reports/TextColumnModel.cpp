#include "reports/TextColumnModel.h"

namespace vantorel {

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
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return m_column.text(index.row());
}

} // namespace vantorel
