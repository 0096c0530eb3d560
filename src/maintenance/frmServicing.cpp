#include "maintenance/frmServicing.h"

namespace vantorel {

frmServicing::frmServicing(const QString& /*mechanicId*/, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmServicing"));
    setWindowTitle(tr("Servicing"));
}

} // namespace vantorel
