#include "maintenance/frmRepairHistory.h"

namespace vantorel {

frmRepairHistory::frmRepairHistory(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmRepairHistory"));
    setWindowTitle(tr("Vehicle Maintenance History"));
}

} // namespace vantorel
