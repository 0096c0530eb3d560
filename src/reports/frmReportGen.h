#pragma once

#include "reports/ReportCriteria.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantorel {

// Composes a report from up to four criteria: row 1 is always in force, rows 2 to 4 are switched
// on one after another by their check boxes. Generate Report checks that every row in force has
// a value; the results window then reads the criteria.
class frmReportGen : public QWidget {
    Q_OBJECT

public:
    explicit frmReportGen(QWidget* parent = nullptr);

    // The four rows as they stand now, disabled ones included with whatever they still hold.
    ReportCriteria criteria() const;

signals:
    // Generate Report passed its tests: the frame opens the results window (or brings it forward).
    void reportRequested();

private slots:
    void chkCriteria2_Click();
    void chkCriteria3_Click();
    void chkCriteria4_Click();
    void cmdGenerate_Click();
    void cmdReset_Click();

private:
    // The controls of one criterion row; row 0 has no check box.
    struct Row {
        QCheckBox* check;
        QComboBox* choice;
        QLineEdit* value;
    };

    void layOut();
    void nameForScreenReaders(const Row& row, const QString& heading);
    void connectControls();
    // Keeps the rows in force an unbroken run from row 1 after `row`'s box changed.
    void criteriaBoxChanged(int row);
    // Tells the user about the first row in force that lacks its value; true when there was one.
    bool refusedEmptyValue();

    QLabel* Label1;
    QCheckBox* chkCriteria2;
    QCheckBox* chkCriteria3;
    QCheckBox* chkCriteria4;
    QComboBox* cboCriteria1;
    QComboBox* cboCriteria2;
    QComboBox* cboCriteria3;
    QComboBox* cboCriteria4;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* txtCriteria1;
    QLineEdit* txtCriteria2;
    QLineEdit* txtCriteria3;
    QLineEdit* txtCriteria4;
    QPushButton* cmdReset;
    QPushButton* cmdGenerate;

    std::array<Row, 4> m_rows;
};

} // namespace vantorel
