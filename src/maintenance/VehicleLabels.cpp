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

// Each display: the label it fills, its caption (named as the window names it) and the field.
struct Display {
    QLabel* VehicleLabels::*label;
    const char* name;
    const char* captionName;
    const char* caption;
    QString data::Vehicle::*field;
};

const Display kDisplays[] = {
    { &VehicleLabels::lblContractNumber, "lblContractNumber", "Label2", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "Contract Number"),
        &data::Vehicle::contractNumber },
    { &VehicleLabels::lblLicense, "lblLicense", "Label3", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "License Number"),
        &data::Vehicle::license },
    { &VehicleLabels::lblMake, "lblMake", "Label4", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "Make"), &data::Vehicle::make },
    { &VehicleLabels::lblModel, "lblModel", "Label5", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "Model"), &data::Vehicle::model },
    { &VehicleLabels::lblColor, "lblColor", "Label6", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "Color"), &data::Vehicle::color },
    { &VehicleLabels::lblYear, "lblYear", "Label7", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "Year"), &data::Vehicle::year },
    { &VehicleLabels::lblDatePurchased, "lblDatePurchased", "Label12", QT_TRANSLATE_NOOP("vantorel::VehicleLabels", "Date Purchased"),
        &data::Vehicle::datePurchased },
};

void VehicleLabels::addTo(QGridLayout* grid, int firstRow, int column)
{
    QWidget* window = grid->parentWidget();
    int row = firstRow;
    for (const Display& display : kDisplays) {
        QLabel* label = makeValueLabel(QString::fromLatin1(display.name), window);
        this->*display.label = label;
        grid->addWidget(makeCaption(QString::fromLatin1(display.captionName), tr(display.caption), window, label), row,
                        column);
        grid->addWidget(label, row++, column + 1);
    }
}

void VehicleLabels::show(const data::Vehicle& vehicle) const
{
    for (const Display& display : kDisplays)
        (this->*display.label)->setText(vehicle.*display.field);
}

QList<std::pair<QString, QString>> VehicleLabels::captionedFields(const data::Vehicle& vehicle)
{
    QList<std::pair<QString, QString>> fields;
    for (const Display& display : kDisplays)
        fields.append({tr(display.caption), vehicle.*display.field});
    return fields;
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
