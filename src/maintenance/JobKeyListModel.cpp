#include "maintenance/JobKeyListModel.h"

namespace vantorel {

void JobKeyListModel::append(const QList<data::JobKey>& jobs)
{
    if (jobs.isEmpty())
        return;
    beginInsertRows({}, int(m_jobs.size()), int(m_jobs.size() + jobs.size() - 1));
    m_jobs.append(jobs);
    endInsertRows();
}

void JobKeyListModel::clear()
{
    beginResetModel();
    m_jobs.clear();
    endResetModel();
}

int JobKeyListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_jobs.size());
}

QVariant JobKeyListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_jobs.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_jobs.at(index.row()).date;
    return {};
}

} // namespace vantorel
