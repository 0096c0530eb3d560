#include "common/CsvText.h"

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

QByteArray csvFile(const QStringList& titles, qsizetype rows, const std::function<QStringList(qsizetype)>& row)
{
    QString csv;
    appendRow(csv, titles);
    for (qsizetype record = 0; record < rows; ++record)
        appendRow(csv, row(record));
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}

} // namespace vantorel
