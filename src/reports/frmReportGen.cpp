#include "reports/frmReportGen.h"

namespace vantorel {

frmReportGen::frmReportGen(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmReportGen"));
    setWindowTitle(tr("Report Generator"));
}

} // namespace vantorel
