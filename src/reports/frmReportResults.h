#pragma once

#include "reports/ReportCriteria.h"
#include "reports/ReportPrinter.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace vantorel {

class ReportColumnView;
class TextColumnModel;

class frmReportGen;

// Shows a report of employees or vehicles in up to eight titled columns, one record per line.
// The report is built once, from the generator's criteria as they stand when the window is made.
class frmReportResults : public QWidget {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 8;

    // Builds the report from the generator's criteria as they stand now.
    explicit frmReportResults(const frmReportGen& generator, QWidget* parent = nullptr);

    // False when the criteria were refused; such a window is discarded without being shown.
    bool isBuilt() const { return m_built; }

    // Where the print dialog keeps the file printed to last, so the next print offers it again;
    // it outlives the window (the frame holds it for the session).
    void rememberPrintFileIn(QString* lastPrintFile) { m_lastPrintFile = lastPrintFile; }

private slots:
    void cmdOK_Click();
    void cmdPrint_Click();
    void saveAsCsv();

private:
    struct Column {
        QLabel* title;
        ReportColumnView* list;
        TextColumnModel* entries;
    };

    void layOut();
    // Runs the plan and fills the columns; false (after telling the user) when the store failed.
    bool fill(const ReportPlan& plan, QWidget* messageParent);
    PrintedReport printedReport() const;
    // Copy (Ctrl+C) and Save Report as CSV…, offered on a column's context menu.
    void addColumnCommands(ReportColumnView* list);
    static void copySelectedEntries(const ReportColumnView* list);

    std::array<Column, kColumnCount> m_columns;
    QPushButton* cmdPrint;
    QPushButton* cmdOK;
    QString m_subject;
    QString m_criteria;
    bool m_built = false;
    QString* m_lastPrintFile = nullptr;
};

} // namespace vantorel
