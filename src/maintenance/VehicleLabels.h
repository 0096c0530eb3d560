#pragma once

#include "data/Records.h"

#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

namespace vantorel {

// The seven captioned displays of a vehicle's stored data, shared by the servicing and the
// repair-history windows, which show a vehicle the same way.
struct VehicleLabels {
    // Adds the captions and displays as rows firstRow.. of columns `column` and `column + 1`.
    void addTo(QGridLayout* grid, int firstRow, int column = 0);

    void show(const data::Vehicle& vehicle) const;
    void clear() const;

    QLabel* lblContractNumber = nullptr;
    QLabel* lblLicense = nullptr;
    QLabel* lblMake = nullptr;
    QLabel* lblModel = nullptr;
    QLabel* lblColor = nullptr;
    QLabel* lblYear = nullptr;
    QLabel* lblDatePurchased = nullptr;
};

// What the user is told when no vehicle has the typed number. A very long number is cut so the
// message stays readable.
QString noVehicleMessage(const QString& vehicleNumber);

} // namespace vantorel
