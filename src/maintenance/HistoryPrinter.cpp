#include "maintenance/HistoryPrinter.h"

#include "common/ClockText.h"
#include "common/CsvText.h"
#include "data/Tables.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace vantorel {

namespace {

// Lines of a job before its comments: the date and times, then the mechanic and the location.
constexpr int kJobHeadingLines = 2;
// The vehicle's data under the page's heading, in two columns.
constexpr int kDataColumns = 2;

QString mechanicText(const data::HistoryJob& entry)
{
    return entry.mechanicName.isEmpty() ? entry.job.mechanicId
                                        : QStringLiteral("%1 (%2)").arg(entry.job.mechanicId, entry.mechanicName);
}

QString whenText(const data::Job& job)
{
    return QStringLiteral("%1    %2 to %3").arg(job.date, job.startTime, job.stopTime);
}

} // namespace

QByteArray historyAsCsv(const PrintedHistory& history)
{
    QStringList titles;
    for (const data::FieldDescription& field : data::kServicingTable.fields)
        titles << QString::fromLatin1(field.name);
    return csvFile(titles, history.jobs.size(), [&](qsizetype row) {
        const data::Job& job = history.jobs.at(row).job;
        return QStringList{history.vehicleNumber, job.mechanicId, job.location, job.date,
                           job.startTime,         job.stopTime,   job.comments};
    });
}

HistoryPrinter::HistoryPrinter(const PrintedHistory& history)
    : m_history(history)
{
}

bool HistoryPrinter::print(QPrinter& printer)
{
    return printing::printPages(
        printer, [this](const printing::PageArea& area, const QPainter& painter) { return measure(area, painter); },
        [this](QPainter& painter, int page) { paintPage(painter, page); });
}

int HistoryPrinter::measure(const printing::PageArea& area, const QPainter& painter)
{
    m_area = area;
    m_measuring = &painter;
    m_bodyMetrics.emplace(printing::bodyFont(), painter.device());
    const int dataLines = int(m_history.vehicleData.size() + kDataColumns - 1) / kDataColumns;
    m_headingHeight = QFontMetricsF(printing::headingFont(), painter.device()).height() * 1.3
        + (dataLines + 1) * area.lineHeight;
    // The heading above, the footer and a line's room above it below.
    m_linesPerPage = std::max(kJobHeadingLines + 2,
                              int(std::floor((area.height - m_headingHeight - 2 * area.lineHeight) / area.lineHeight)));
    m_pages = {PagePlace{}};
    int left = m_linesPerPage;
    for (qsizetype job = 0; job < m_history.jobs.size(); ++job) {
        const int lines = linesOf(job);
        // A job that fits on a page but not on the rest of this one starts the next page.
        if (lines > left && (lines <= m_linesPerPage || left < kJobHeadingLines + 1)) {
            m_pages.push_back({job, 0});
            left = m_linesPerPage;
        }
        // A job longer than a page goes on, each next page beginning with its date again.
        int placed = std::min(lines, left);
        left -= placed;
        while (placed < lines) {
            m_pages.push_back({job, placed});
            const int taken = std::min(lines - placed, m_linesPerPage - 1);
            placed += taken;
            left = m_linesPerPage - 1 - taken;
        }
    }
    return int(m_pages.size());
}

int HistoryPrinter::linesOf(qsizetype job) const
{
    return kJobHeadingLines + int(commentLines(m_history.jobs.at(job).job.comments).size()) + 1;
}

QStringList HistoryPrinter::commentLines(const QString& comments) const
{
    const QString text = QStringLiteral("Comments: ") + (comments.isEmpty() ? QStringLiteral("none") : comments);
    const QFont font = printing::bodyFont();
    // Most comments are one short line: no layout needed to know it.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))
        && m_bodyMetrics->horizontalAdvance(text) <= m_area.width)
        return {text};
    QStringList lines;
    for (const QString& paragraph : QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font, m_measuring->device());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(m_area.width);
            lines << paragraph.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
        if (paragraph.isEmpty())
            lines << QString();
    }
    return lines;
}

void HistoryPrinter::paintPage(QPainter& painter, int page)
{
    paintHeading(painter);
    const PagePlace start = m_pages.at(size_t(page));
    const PagePlace end = size_t(page) + 1 < m_pages.size() ? m_pages.at(size_t(page) + 1)
                                                             : PagePlace{m_history.jobs.size(), 0};
    qreal top = m_headingHeight;
    if (m_history.jobs.isEmpty()) {
        painter.setFont(printing::bodyFont());
        printing::drawLine(painter, QRectF(0, top, m_area.width, m_area.lineHeight), Qt::AlignLeft,
                           QStringLiteral("No maintenance jobs are stored for this vehicle."));
        return;
    }
    if (start.line > 0) {
        painter.setFont(printing::titleFont());
        printing::drawLine(painter, QRectF(0, top, m_area.width, m_area.lineHeight), Qt::AlignLeft,
                           QStringLiteral("%1 (continued)").arg(whenText(m_history.jobs.at(start.job).job)));
        top += m_area.lineHeight;
    }
    for (qsizetype job = start.job; job < end.job || (job == end.job && end.line > 0); ++job) {
        const QStringList comments = commentLines(m_history.jobs.at(job).job.comments);
        const int first = job == start.job ? start.line : 0;
        const int last = job == end.job ? end.line : kJobHeadingLines + int(comments.size()) + 1;
        for (int line = first; line < last; ++line, top += m_area.lineHeight)
            paintJobLine(painter, job, line, top, comments);
    }
}

void HistoryPrinter::paintHeading(QPainter& painter) const
{
    painter.setFont(printing::headingFont());
    const qreal headingLine = QFontMetricsF(printing::headingFont(), painter.device()).height() * 1.3;
    printing::drawLine(painter, QRectF(0, 0, m_area.width * 0.7, headingLine), Qt::AlignLeft,
                       QStringLiteral("Vantorel repair history: vehicle %1").arg(m_history.vehicleNumber));
    painter.setFont(printing::bodyFont());
    printing::drawLine(painter, QRectF(m_area.width * 0.7, 0, m_area.width * 0.3, headingLine), Qt::AlignRight,
                       QStringLiteral("Printed %1").arg(shortDateText(QDate::currentDate())));
    const qreal columnWidth = m_area.width / kDataColumns;
    for (qsizetype i = 0; i < m_history.vehicleData.size(); ++i) {
        const auto& [caption, value] = m_history.vehicleData.at(i);
        const QRectF box(qreal(i % kDataColumns) * columnWidth, headingLine + qreal(i / kDataColumns) * m_area.lineHeight,
                         columnWidth, m_area.lineHeight);
        printing::drawLine(painter, box, Qt::AlignLeft, QStringLiteral("%1: %2").arg(caption, value));
    }
    const qreal rule = m_headingHeight - 0.5 * m_area.lineHeight;
    painter.drawLine(QPointF(0, rule), QPointF(m_area.width, rule));
}

void HistoryPrinter::paintJobLine(QPainter& painter, qsizetype job, int line, qreal top,
                                  const QStringList& comments) const
{
    const data::HistoryJob& entry = m_history.jobs.at(job);
    const QRectF box(0, top, m_area.width, m_area.lineHeight);
    if (line == 0) {
        painter.setFont(printing::titleFont());
        printing::drawLine(painter, box, Qt::AlignLeft, whenText(entry.job));
        return;
    }
    painter.setFont(printing::bodyFont());
    if (line == 1) {
        printing::drawLine(painter, box, Qt::AlignLeft,
                           QStringLiteral("Mechanic: %1    Location: %2").arg(mechanicText(entry), entry.job.location));
        return;
    }
    // The comment lines were laid out to the page's width; the gap after them stays empty.
    if (const qsizetype comment = line - kJobHeadingLines; comment < comments.size())
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, printing::oneLine(comments.at(comment)));
}

} // namespace vantorel
