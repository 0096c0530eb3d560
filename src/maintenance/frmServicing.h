#pragma once

#include <QWidget>

namespace vantorel {

class frmServicing : public QWidget {
    Q_OBJECT

public:
    explicit frmServicing(const QString& mechanicId, QWidget* parent = nullptr);
};

} // namespace vantorel
