#pragma once

#include "common/PrintedPage.h"
#include "data/Records.h"

#include <QFontMetricsF>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class QPainter;
class QPrinter;

namespace vantorel {

// A vehicle's whole service history as it goes to paper: the vehicle's number, its data by the
// captions the Repair History window shows, and every job in the store's order.
struct PrintedHistory {
    QString vehicleNumber;
    QList<std::pair<QString, QString>> vehicleData; // caption, value
    QList<data::HistoryJob> jobs;
};

// The history's rows as a CSV file (csvFile): one per job, the vehicle's number first, the fields
// of a job by their names as titles.
QByteArray historyAsCsv(const PrintedHistory& history);

// Lays a history out on pages as the report's printout is laid out (margins, fonts, "Page n of m"):
// each page headed by the vehicle and its data, then the jobs, each with its date, times,
// mechanic, location and whole comments, wrapped. A job starts on a new page when it does not
// fit on what is left of one; a job longer than a page goes on with its date repeated. Only the
// positions where pages begin are kept, so a history of any length prints in little memory.
class HistoryPrinter {
public:
    explicit HistoryPrinter(const PrintedHistory& history);

    // Paints every page onto `printer` (a real printer or a PDF file). False when the printer
    // could not be started or refused a page.
    bool print(QPrinter& printer);

private:
    // Where a page begins: a job, and the line of that job.
    struct PagePlace {
        qsizetype job = 0;
        int line = 0;
    };

    int measure(const printing::PageArea& area, const QPainter& painter);
    // The lines a job takes: its two heading lines, its comments wrapped, and a gap after it.
    int linesOf(qsizetype job) const;
    QStringList commentLines(const QString& comments) const;
    void paintPage(QPainter& painter, int page);
    void paintHeading(QPainter& painter) const;
    // Paints line `line` of job `job` at `top`, `comments` being the job's comment lines.
    void paintJobLine(QPainter& painter, qsizetype job, int line, qreal top, const QStringList& comments) const;

    const PrintedHistory& m_history;
    printing::PageArea m_area;
    const QPainter* m_measuring = nullptr;
    std::optional<QFontMetricsF> m_bodyMetrics;
    qreal m_headingHeight = 0;
    int m_linesPerPage = 1;
    std::vector<PagePlace> m_pages;
};

} // namespace vantorel
