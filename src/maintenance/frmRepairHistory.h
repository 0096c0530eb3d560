#pragma once

#include <QWidget>

namespace vantorel {

class frmRepairHistory : public QWidget {
    Q_OBJECT

public:
    explicit frmRepairHistory(QWidget* parent = nullptr);
};

} // namespace vantorel
