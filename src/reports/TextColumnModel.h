#pragma once

#include "data/TextColumn.h"

#include <QAbstractListModel>

namespace vantorel {

// The entries of one report column for a list view; an entry's text is made only when the view
// asks for it, that is for the rows on show.
class TextColumnModel : public QAbstractListModel {
    Q_OBJECT

public:
    // The whole text of an entry; the display and tool tip show a bounded part of it.
    static constexpr int kWholeTextRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    void setColumn(data::TextColumn column);
    const data::TextColumn& column() const { return m_column; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    data::TextColumn m_column;
};

} // namespace vantorel
