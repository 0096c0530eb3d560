#pragma once

#include "data/Records.h"

#include <QAbstractListModel>
#include <QList>

namespace vantorel {

// The repair-date list: each entry shows a job's stored date text and keeps the job's own
// vehicle number beside it, so an entry finds its job whatever vehicle is shown later.
class JobKeyListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // Adds the jobs after those already listed, in the order given.
    void append(const QList<data::JobKey>& jobs);
    void clear();
    const data::JobKey& job(int row) const { return m_jobs.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QList<data::JobKey> m_jobs;
};

} // namespace vantorel
