#pragma once

#include "data/Records.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

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
    // The vehicle's fields as these displays show them, each with its caption.
    static QList<std::pair<QString, QString>> captionedFields(const data::Vehicle& vehicle);

    // Shows the vehicle a look-up found; when none was found, empties the displays and tells the
    // user that no vehicle has the number.
    void showFound(
        QWidget* window, const QString& vehicleNumber, const std::optional<data::Vehicle>& vehicle) const;

    QLabel* lblContractNumber = nullptr;
    QLabel* lblLicense = nullptr;
    QLabel* lblMake = nullptr;
    QLabel* lblModel = nullptr;
    QLabel* lblColor = nullptr;
    QLabel* lblYear = nullptr;
    QLabel* lblDatePurchased = nullptr;
};

} // namespace vantorel
