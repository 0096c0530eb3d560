#include "reports/ReportCsv.h"

#include "common/CsvText.h"

namespace vantorel {

QByteArray reportAsCsv(const PrintedReport& report)
{
    const qsizetype records = report.columns.isEmpty() ? 0 : report.columns.first().size();
    return csvFile(report.titles, records, [&](qsizetype record) {
        QStringList fields;
        for (const QStringList& column : report.columns)
            fields << column.value(record);
        return fields;
    });
}

} // namespace vantorel
