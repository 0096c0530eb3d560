#pragma once

#include "common/AppendIdentity.h"
#include "common/RequiredEntries.h"
#include "maintenance/VehicleLabels.h"

#include <QWidget>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vantorel {

// Where a mechanic records one maintenance job: Start stamps the date and start time from the
// clock, Complete stamps the stop time and appends one Servicing record assembled from what the
// window shows at that moment. Whether a job is under way is read from the Start Time display.
class frmServicing : public QWidget {
    Q_OBJECT

public:
    // `mechanicId` is the logged-in user's ID, stored whole with every job.
    explicit frmServicing(const QString& mechanicId, QWidget* parent = nullptr);

private slots:
    void cmdViewHistory_Click();
    void cmdStart_Click();
    void cmdComplete_Click();
    void cmdClear_Click();

private:
    void addJobColumn(QGridLayout* grid);
    bool jobReadyToComplete();

    const QString m_mechanicId;
    RequiredEntries m_vehicleNumber;
    AppendIdentity m_identity;
    // The stop time of a job whose append the store has not confirmed, sent again with it.
    QString m_unconfirmedStopTime;
    VehicleLabels m_vehicle;
    QLineEdit* txtVehicleNumber;
    QLineEdit* txtComments;
    QLabel* lblDate;
    QLabel* lblStartTime;
    QLabel* lblStopTime;
    QLineEdit* txtLocation;
    QComboBox* cboPartsList;
    QListWidget* lstPartsUsed;
    QPushButton* cmdClear;
    QPushButton* cmdViewHistory;
    QPushButton* cmdComplete;
    QPushButton* cmdStart;
};

} // namespace vantorel
