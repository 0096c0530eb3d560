#pragma once

#include "common/RequiredEntries.h"
#include "maintenance/HistoryPrinter.h"
#include "maintenance/JobKeyListModel.h"
#include "maintenance/VehicleLabels.h"

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QModelIndex;
class QPushButton;

namespace vantorel {

class ValueView;

// Shows one vehicle's data and the dates of its stored jobs; selecting a date shows that job. The
// repair-date list's context menu prints the whole history of the vehicle shown last, or saves it
// as CSV.
// Each Show History appends its dates after those already listed; only Clear empties the list.
// The window only reads the store.
class frmRepairHistory : public QWidget {
    Q_OBJECT

public:
    explicit frmRepairHistory(QWidget* parent = nullptr);

private slots:
    void cmdShowHistory_Click();
    void lstRepairDates_Click(const QModelIndex& entry);
    void cmdClear_Click();
    void mnuPrintHistory_Click();
    void mnuSaveHistoryCsv_Click();

private:
    void showJob(const data::Job& job);
    void addHistoryCommands();
    // The whole history of the vehicle shown last, read from the store; none when the store failed.
    std::optional<PrintedHistory> readHistory();

    RequiredEntries m_vehicleNumber;
    VehicleLabels m_vehicle;
    JobKeyListModel m_repairDates;
    QLineEdit* txtVehicleNumber;
    QLabel* lblMaintenanceDate;
    QLabel* lblMechanic;
    ValueView* lblComments;
    QListView* lstRepairDates;
    QPushButton* cmdClear;
    QPushButton* cmdShowHistory;
    QAction* mnuPrintHistory;
    QAction* mnuSaveHistoryCsv;
    QString m_shownVehicle;
};

} // namespace vantorel
