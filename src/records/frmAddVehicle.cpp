#include "records/frmAddVehicle.h"

namespace vantorel {

frmAddVehicle::frmAddVehicle(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAddVehicle"));
    setWindowTitle(tr("Enter New Vehicle Information"));
}

} // namespace vantorel
