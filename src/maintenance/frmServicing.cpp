#include "maintenance/frmServicing.h"

#include "common/ClockText.h"
#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/StoreAction.h"
#include "common/WindowKeys.h"
#include "data/Database.h"

#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantorel {

namespace {

// The job column stands to the right of the vehicle column, at these grid columns.
constexpr int kJobCaptionColumn = 2;
constexpr int kJobFieldColumn = 3;
constexpr int kCommentsRow = 8;

} // namespace

frmServicing::frmServicing(const QString& mechanicId, QWidget* parent)
    : QWidget(parent)
    , m_mechanicId(mechanicId)
{
    setObjectName(QStringLiteral("frmServicing"));
    setWindowTitle(tr("Servicing"));

    auto* grid = new QGridLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    grid->setHorizontalSpacing(12);
    txtVehicleNumber = m_vehicleNumber.add(
        grid, "Label1", tr("Vehicle Number"), "txtVehicleNumber", tr("Please enter a Vehicle Number."));
    m_vehicle.addTo(grid, 1);
    txtComments = makeTextBox(QStringLiteral("txtComments"), this);
    grid->addWidget(makeCaption(QStringLiteral("Label11"), tr("Comments"), this, txtComments), kCommentsRow, 0);
    txtComments->setMinimumHeight(3 * txtComments->sizeHint().height() / 2);
    grid->addWidget(txtComments, kCommentsRow, 1, 1, 3);
    addJobColumn(grid);

    cmdClear = makeButton(QStringLiteral("cmdClear"), tr("&Clear"), this);
    cmdViewHistory = makeButton(QStringLiteral("cmdViewHistory"), tr("&Retrieve Vehicle Info."), this);
    cmdComplete = makeButton(QStringLiteral("cmdComplete"), tr("Co&mplete Maintenance"), this);
    cmdStart = makeButton(QStringLiteral("cmdStart"), tr("&Start Maintenance"), this);
    layout->addLayout(makeButtonRow(cmdClear, { cmdViewHistory, cmdComplete, cmdStart }));

    setTabOrderChain({ txtVehicleNumber, txtLocation, cboPartsList, lstPartsUsed, txtComments, cmdStart,
        cmdComplete, cmdViewHistory, cmdClear });
    // Deliberately no default button: Enter in a text box must not start or complete a job.
    setCancelButton(this, cmdClear);
    connect(cmdViewHistory, &QPushButton::clicked, this, &frmServicing::cmdViewHistory_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmServicing::cmdStart_Click);
    connect(cmdComplete, &QPushButton::clicked, this, &frmServicing::cmdComplete_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmServicing::cmdClear_Click);
    txtVehicleNumber->setFocus();
}

void frmServicing::addJobColumn(QGridLayout* grid)
{
    int row = 0;
    const auto addRow
        = [&](const char* captionName, const QString& caption, QWidget* field, int rowSpan = 1) {
              // A caption beside a tall field stands at its top edge, the others beside their field.
              grid->addWidget(makeCaption(QString::fromLatin1(captionName), caption, this, field), row,
                  kJobCaptionColumn, rowSpan > 1 ? Qt::AlignTop : Qt::Alignment());
              grid->addWidget(field, row, kJobFieldColumn, rowSpan, 1);
              row += rowSpan;
          };
    lblDate = makeValueLabel(QStringLiteral("lblDate"), this);
    addRow("Label8", tr("Date"), lblDate);
    lblStartTime = makeValueLabel(QStringLiteral("lblStartTime"), this);
    addRow("Label16", tr("Start Time"), lblStartTime);
    lblStopTime = makeValueLabel(QStringLiteral("lblStopTime"), this);
    addRow("Label15", tr("Stop Time"), lblStopTime);
    txtLocation = makeTextBox(QStringLiteral("txtLocation"), this);
    addRow("Label9", tr("Vehicle Location"), txtLocation);

    // The parts controls stand in for an inventory the shop does not have: nothing reads them.
    cboPartsList = new QComboBox(this);
    cboPartsList->setObjectName(QStringLiteral("cboPartsList"));
    cboPartsList->setEditable(true);
    cboPartsList->setEditText(tr("Inventory Not Implemented"));
    // Its text part is a control of its own to a screen reader, with no caption beside it.
    cboPartsList->lineEdit()->setAccessibleName(tr("Parts List"));
    addRow("Label10", tr("Parts List"), cboPartsList);
    lstPartsUsed = new QListWidget(this);
    lstPartsUsed->setObjectName(QStringLiteral("lstPartsUsed"));
    lstPartsUsed->addItems({ tr("Inventory system  not"), tr("implemented in this version") });
    addRow("Label13", tr("Parts Used"), lstPartsUsed, kCommentsRow - row);
}

void frmServicing::cmdViewHistory_Click()
{
    if (!m_vehicleNumber.allFilled(this))
        return;
    // Whatever happens next, no earlier vehicle's data stays on show.
    m_vehicle.clear();
    const QString number = txtVehicleNumber->text();
    std::optional<data::Vehicle> vehicle;
    if (withStore(this, [&] { vehicle = data::Database().firstVehicle(number); }))
        m_vehicle.showFound(this, number, vehicle);
}

void frmServicing::cmdStart_Click()
{
    if (!m_vehicleNumber.allFilled(this))
        return;
    // One reading of the clock, so a job started at midnight gets the date of its start time.
    const QDateTime now = QDateTime::currentDateTime();
    lblDate->setText(shortDateText(now.date()));
    lblStartTime->setText(longTimeText(now.time()));
}

bool frmServicing::jobReadyToComplete()
{
    if (lblStartTime->text().isEmpty()) {
        showMessage(this, tr("Please begin maintenance before completing."));
        txtVehicleNumber->setFocus();
        return false;
    }
    if (txtLocation->text().isEmpty()) {
        showMessage(this, tr("Please enter the vehicle location."));
        txtLocation->setFocus();
        return false;
    }
    return true;
}

void frmServicing::cmdComplete_Click()
{
    if (!jobReadyToComplete())
        return;
    const QStringList entries { txtVehicleNumber->text(), txtLocation->text(), lblDate->text(), lblStartTime->text(),
        txtComments->text() };
    // Pressed again for a job the store has not confirmed, it is the same job: the same stop time.
    const QString stopTime = m_identity.isUnconfirmed(entries) ? m_unconfirmedStopTime : longTimeText(QTime::currentTime());
    const QString identity = m_identity.forEntries(entries);
    const data::Job job { entries[0], m_mechanicId, entries[1], entries[2], entries[3], stopTime, entries[4] };
    if (!withStore(this, [&] { data::Database().append(job, identity); })) {
        // A job that was not stored must not look completed.
        m_unconfirmedStopTime = stopTime;
        return;
    }
    m_identity.confirmed();
    lblStopTime->setText(stopTime);
    showMessage(this, tr("Maintenance Complete."));
}

void frmServicing::cmdClear_Click()
{
    m_vehicleNumber.clear();
    m_vehicle.clear();
    lblDate->clear();
    lblStartTime->clear();
    lblStopTime->clear();
    lstPartsUsed->clear();
    txtLocation->clear();
    txtComments->clear();
}

} // namespace vantorel
