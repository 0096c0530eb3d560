#include "reports/frmReportResults.h"

#include "reports/frmReportGen.h"

namespace vantorel {

frmReportResults::frmReportResults(const frmReportGen& /*generator*/, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmReportResults"));
    setWindowTitle(tr("Report Results"));
}

} // namespace vantorel
