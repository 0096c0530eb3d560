#include "maintenance/VehicleLabels.h"

#include "common/Controls.h"
#include "common/MessageBox.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>

namespace vantorel {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("vantorel::VehicleLabels", text);
}

// What the user is told when no vehicle has the typed number.
QString noVehicleMessage(const QString& vehicleNumber)
{
    return tr("No vehicle has the number %1.").arg(quotedValue(vehicleNumber));
}

} // namespace

void VehicleLabels::addTo(QGridLayout* grid, int firstRow, int column)
{
    QWidget* window = grid->parentWidget();
    struct Row {
        QLabel** label;
        const char* name;
        const char* captionName;
        QString caption;
    };
    const Row rows[] = {
        { &lblContractNumber, "lblContractNumber", "Label2", tr("Contract Number") },
        { &lblLicense, "lblLicense", "Label3", tr("License Number") },
        { &lblMake, "lblMake", "Label4", tr("Make") },
        { &lblModel, "lblModel", "Label5", tr("Model") },
        { &lblColor, "lblColor", "Label6", tr("Color") },
        { &lblYear, "lblYear", "Label7", tr("Year") },
        { &lblDatePurchased, "lblDatePurchased", "Label12", tr("Date Purchased") },
    };
    int row = firstRow;
    for (const Row& entry : rows) {
        *entry.label = makeValueLabel(QString::fromLatin1(entry.name), window);
        grid->addWidget(
            makeCaption(QString::fromLatin1(entry.captionName), entry.caption, window, *entry.label), row, column);
        grid->addWidget(*entry.label, row++, column + 1);
    }
}

void VehicleLabels::show(const data::Vehicle& vehicle) const
{
    lblContractNumber->setText(vehicle.contractNumber);
    lblLicense->setText(vehicle.license);
    lblMake->setText(vehicle.make);
    lblModel->setText(vehicle.model);
    lblColor->setText(vehicle.color);
    lblYear->setText(vehicle.year);
    lblDatePurchased->setText(vehicle.datePurchased);
}

void VehicleLabels::clear() const
{
    show(data::Vehicle {});
}

void VehicleLabels::showFound(
    QWidget* window, const QString& vehicleNumber, const std::optional<data::Vehicle>& vehicle) const
{
    if (vehicle) {
        show(*vehicle);
        return;
    }
    clear();
    showMessage(window, noVehicleMessage(vehicleNumber));
}

} // namespace vantorel
