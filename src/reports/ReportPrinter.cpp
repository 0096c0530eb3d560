#include "reports/ReportPrinter.h"

#include "common/ClockText.h"
#include "common/PrintedPage.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace vantorel {

namespace {

// The widest entries of a column are among its longest texts; only these many are measured.
constexpr int kMeasuredPerColumn = 32;

// The `count` longest texts of `entries` (by characters).
QStringList longestEntries(const QStringList& entries, int count)
{
    QList<qsizetype> lengths;
    lengths.reserve(entries.size());
    for (const QString& entry : entries)
        lengths.append(entry.size());
    if (entries.size() <= count)
        return entries;
    std::nth_element(lengths.begin(), lengths.begin() + (count - 1), lengths.end(), std::greater<>());
    const qsizetype shortest = lengths.at(count - 1);
    QStringList longest;
    for (const QString& entry : entries) {
        if (entry.size() >= shortest && longest.size() < count)
            longest.append(entry);
    }
    return longest;
}

} // namespace

ReportPrinter::ReportPrinter(const PrintedReport& report)
    : m_report(report)
    , m_recordCount(report.columns.isEmpty() ? 0 : report.columns.first().size())
    , m_headingFont(printing::headingFont())
    , m_titleFont(printing::titleFont())
    , m_bodyFont(printing::bodyFont())
{
}

bool ReportPrinter::print(QPrinter& printer)
{
    return printing::printPages(
        printer,
        [this](const printing::PageArea& area, const QPainter& painter) {
            measure(area, painter);
            return m_pageCount;
        },
        [this](QPainter& painter, int page) { paintPage(painter, page); });
}

void ReportPrinter::measure(const printing::PageArea& area, const QPainter& painter)
{
    m_pageWidth = area.width;
    m_pageHeight = area.height;
    m_lineHeight = area.lineHeight;
    const QFontMetricsF body(m_bodyFont, painter.device());
    m_headingHeight = QFontMetricsF(m_headingFont, painter.device()).height() * 1.3 + 2.5 * m_lineHeight;
    m_columnGap = body.averageCharWidth() * 1.5;
    sizeColumns(QFontMetricsF(m_titleFont, painter.device()), body);

    // Heading, titles and footer take their share of every page; the rest holds records.
    const qreal rowsSpace = m_pageHeight - m_headingHeight - 1.5 * m_lineHeight - 2 * m_lineHeight;
    m_rowsPerPage = std::max(1, int(std::floor(rowsSpace / m_lineHeight)));
    m_pageCount = std::max(1, int((m_recordCount + m_rowsPerPage - 1) / m_rowsPerPage));
}

qreal ReportPrinter::naturalWidth(int column, const QFontMetricsF& titles, const QFontMetricsF& body) const
{
    qreal width = titles.horizontalAdvance(m_report.titles.value(column));
    for (const QString& entry : longestEntries(m_report.columns.value(column), kMeasuredPerColumn))
        width = std::max(width, body.horizontalAdvance(printing::oneLine(entry.left(1000))));
    return std::ceil(width) + 1;
}

void ReportPrinter::sizeColumns(const QFontMetricsF& titles, const QFontMetricsF& body)
{
    const int columns = int(m_report.titles.size());
    m_columnWidths.clear();
    for (int column = 0; column < columns; ++column)
        m_columnWidths.append(naturalWidth(column, titles, body));

    // Columns narrower than an even share keep their width; the others share what is left.
    qreal room = m_pageWidth - m_columnGap * qreal(std::max(0, columns - 1));
    QList<bool> settled(columns, false);
    for (bool changed = true; changed;) {
        changed = false;
        const auto open = qreal(std::count(settled.begin(), settled.end(), false));
        for (int column = 0; column < columns && open > 0; ++column) {
            if (!settled[column] && m_columnWidths[column] <= room / open) {
                settled[column] = true;
                room -= m_columnWidths[column];
                changed = true;
                break;
            }
        }
    }
    const auto wide = qreal(std::count(settled.begin(), settled.end(), false));
    m_columnLefts.clear();
    qreal left = 0;
    for (int column = 0; column < columns; ++column) {
        if (!settled[column])
            m_columnWidths[column] = room / wide;
        m_columnLefts.append(left);
        left += m_columnWidths[column] + m_columnGap;
    }
}

void ReportPrinter::paintPage(QPainter& painter, int page)
{
    paintHeading(painter);
    const qreal titlesTop = m_headingHeight;
    paintTitles(painter, titlesTop);

    painter.setFont(m_bodyFont);
    const qreal rowsTop = titlesTop + 1.5 * m_lineHeight;
    const int first = page * m_rowsPerPage;
    const int last = int(std::min<qsizetype>(m_recordCount, first + m_rowsPerPage));
    for (int record = first; record < last; ++record)
        paintRow(painter, record, rowsTop + (record - first) * m_lineHeight);
    if (m_recordCount == 0)
        printing::drawLine(painter, QRectF(0, rowsTop, m_pageWidth, m_lineHeight), Qt::AlignLeft,
                 QStringLiteral("No records match these criteria."));
}

void ReportPrinter::paintHeading(QPainter& painter)
{
    painter.setFont(m_headingFont);
    const qreal headingLine = QFontMetricsF(m_headingFont, painter.device()).height() * 1.3;
    printing::drawLine(painter, QRectF(0, 0, m_pageWidth * 0.7, headingLine), Qt::AlignLeft,
             QStringLiteral("Vantorel report: %1").arg(m_report.subject));

    painter.setFont(m_bodyFont);
    printing::drawLine(painter, QRectF(m_pageWidth * 0.7, 0, m_pageWidth * 0.3, headingLine), Qt::AlignRight,
             QStringLiteral("Printed %1").arg(shortDateText(QDate::currentDate())));
    printing::drawLine(painter, QRectF(0, headingLine, m_pageWidth, m_lineHeight), Qt::AlignLeft,
             QStringLiteral("Criteria: %1").arg(m_report.criteria));
    const QString count = m_recordCount == 1 ? QStringLiteral("1 record")
                                             : QStringLiteral("%1 records").arg(m_recordCount);
    printing::drawLine(painter, QRectF(0, headingLine + m_lineHeight, m_pageWidth, m_lineHeight), Qt::AlignLeft, count);
}

void ReportPrinter::paintTitles(QPainter& painter, qreal top)
{
    painter.setFont(m_titleFont);
    for (int column = 0; column < m_report.titles.size(); ++column)
        paintCell(painter, column, top, m_report.titles.at(column));
    const qreal rule = top + 1.2 * m_lineHeight;
    painter.drawLine(QPointF(0, rule), QPointF(m_pageWidth, rule));
}

void ReportPrinter::paintRow(QPainter& painter, int record, qreal top)
{
    for (int column = 0; column < m_report.columns.size(); ++column)
        paintCell(painter, column, top, m_report.columns.at(column).value(record));
}

void ReportPrinter::paintCell(QPainter& painter, int column, qreal top, const QString& text)
{
    printing::drawLine(painter, QRectF(m_columnLefts.at(column), top, m_columnWidths.at(column), m_lineHeight), Qt::AlignLeft,
             text);
}


} // namespace vantorel
