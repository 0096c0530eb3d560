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
// The window is made empty; its report is built once, from the generator's criteria as they stand
// then, before it is first shown.
class frmReportResults : public QWidget {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 8;

    explicit frmReportResults(QWidget* parent = nullptr);

    // Builds the report from the generator's criteria as they stand now. False when the criteria
    // were refused or the store failed (the user has been told); the window then stays empty and
    // is not to be shown.
    bool build(const frmReportGen& generator);

    // Where the print dialog keeps the file printed to last, so the next print offers it again;
    // it outlives the window (the frame holds it for the session).
    void rememberPrintFileIn(QString* lastPrintFile) { m_lastPrintFile = lastPrintFile; }

    QSize sizeHint() const override;

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
    QString* m_lastPrintFile = nullptr;
};

} // namespace vantorel
