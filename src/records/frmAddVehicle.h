#pragma once

#include <QWidget>

namespace vantorel {

class frmAddVehicle : public QWidget {
    Q_OBJECT

public:
    explicit frmAddVehicle(QWidget* parent = nullptr);
};

} // namespace vantorel
