#pragma once

#include "common/AppendIdentity.h"
#include "common/RequiredEntries.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace vantorel {

// Where a manager enters a new vehicle of the fleet: each Submit appends one Vehicle record
// made of the eight entries exactly as typed, then empties them for the next vehicle.
class frmAddVehicle : public QWidget {
    Q_OBJECT

public:
    explicit frmAddVehicle(QWidget* parent = nullptr);

private slots:
    void cmdSubmit_Click();
    void cmdClear_Click();

private:
    RequiredEntries m_entries;
    AppendIdentity m_identity;
    QLineEdit* txtVehicleNumber;
    QLineEdit* txtContractNumber;
    QLineEdit* txtLicensePlate;
    QLineEdit* txtMake;
    QLineEdit* txtModel;
    QLineEdit* txtColor;
    QLineEdit* txtYear;
    QLineEdit* txtDatePurchased;
    QPushButton* cmdClear;
    QPushButton* cmdSubmit;
};

} // namespace vantorel
