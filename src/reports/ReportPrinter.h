#pragma once

#include "common/PrintedPage.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

class QFontMetricsF;
class QPainter;
class QPrinter;

namespace vantorel {

// A report as it goes to paper: what it lists, the criteria in words, and its titled columns
// (entry k of every column belongs to record k).
struct PrintedReport {
    QString subject;  // "Vehicles" or "Employees"
    QString criteria; // "Make is "Ford" and Year is "2020""
    QStringList titles;
    QList<QStringList> columns;
};

// Lays a report out on pages with margins of at least 10 mm: a heading with the criteria, the
// column titles on every page, one line per record in columns sized to their content (an entry is
// cut with "…" only when the page is full), and "Page n of m" at the foot.
class ReportPrinter {
public:
    explicit ReportPrinter(const PrintedReport& report);

    // Paints every page onto `printer` (a real printer or a PDF file). False when the printer
    // could not be started or refused a page.
    bool print(QPrinter& printer);

private:
    void measure(const printing::PageArea& area, const QPainter& painter);
    // Each column as wide as its content, or, when the page cannot hold them all, the narrow ones
    // whole and the page's rest shared evenly among the wide ones.
    void sizeColumns(const QFontMetricsF& titles, const QFontMetricsF& body);
    qreal naturalWidth(int column, const QFontMetricsF& titles, const QFontMetricsF& body) const;
    void paintPage(QPainter& painter, int page);
    void paintHeading(QPainter& painter);
    void paintTitles(QPainter& painter, qreal top);
    void paintRow(QPainter& painter, int record, qreal top);
    void paintCell(QPainter& painter, int column, qreal top, const QString& text);

    const PrintedReport m_report;
    qsizetype m_recordCount;
    QFont m_headingFont;
    QFont m_titleFont;
    QFont m_bodyFont;
    qreal m_pageWidth = 0;
    qreal m_pageHeight = 0;
    qreal m_lineHeight = 0;
    qreal m_headingHeight = 0;
    QList<qreal> m_columnLefts;
    QList<qreal> m_columnWidths;
    qreal m_columnGap = 0;
    int m_rowsPerPage = 1;
    int m_pageCount = 1;
};

} // namespace vantorel
