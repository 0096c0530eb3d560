#pragma once

#include "reports/ReportPrinter.h"

#include <QByteArray>
#include <QString>

namespace vantorel {

// A report as a CSV file (csvFile): its column titles, then one row per record.
QByteArray reportAsCsv(const PrintedReport& report);

} // namespace vantorel
