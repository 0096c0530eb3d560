#include "reports/ReportCsv.h"

#include <QStringList>

namespace vantorel {

namespace {

bool startsLikeFormula(const QString& value)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r'");
    return !value.isEmpty() && formulaStarts.contains(value.front());
}

bool needsQuotes(const QString& value)
{
    for (const QChar character : value) {
        if (character == u',' || character == u'"' || character == u'\n' || character == u'\r')
            return true;
    }
    return false;
}

void appendRow(QString& csv, const QStringList& fields)
{
    for (qsizetype field = 0; field < fields.size(); ++field) {
        if (field > 0)
            csv += u',';
        csv += csvField(fields.at(field));
    }
    csv += QStringLiteral("\r\n");
}

} // namespace

QString csvField(const QString& value)
{
    const QString text = startsLikeFormula(value) ? QStringLiteral("'") + value : value;
    if (!needsQuotes(text))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QByteArray reportAsCsv(const PrintedReport& report)
{
    QString csv;
    appendRow(csv, report.titles);
    const qsizetype records = report.columns.isEmpty() ? 0 : report.columns.first().size();
    QStringList fields(report.columns.size());
    for (qsizetype record = 0; record < records; ++record) {
        for (qsizetype column = 0; column < report.columns.size(); ++column)
            fields[column] = report.columns.at(column).value(record);
        appendRow(csv, fields);
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace vantorel
