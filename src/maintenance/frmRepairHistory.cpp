#include "maintenance/frmRepairHistory.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/SaveAndPrint.h"
#include "common/ShownText.h"
#include "common/StoreAction.h"
#include "common/ValueLabel.h"
#include "common/WindowKeys.h"
#include "data/Database.h"
#include "maintenance/HistoryPrinter.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantorel {

namespace {

constexpr int kMaintenanceDateRow = 8;
constexpr int kMechanicRow = 9;
constexpr int kCommentsRow = 10;
constexpr int kListColumn = 2;
// Longer than any line of comments a mechanic types, short enough to lay out at once.
constexpr int kLongestViewLine = 1000;

} // namespace

// A list that takes the keyboard focus without choosing an entry: only a click or a move of the
// selection shows a job, and Down from no selection chooses the first entry.
class RepairDateList : public QListView {
    Q_OBJECT

public:
    using QListView::QListView;

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        QListView::focusInEvent(event);
        if (!selectionModel()->hasSelection())
            selectionModel()->clearCurrentIndex();
    }
};

frmRepairHistory::frmRepairHistory(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmRepairHistory"));
    setWindowTitle(tr("Vehicle Maintenance History"));

    auto* grid = new QGridLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    txtVehicleNumber = m_vehicleNumber.add(
        grid, "Label1", tr("Vehicle Number"), "txtVehicleNumber", tr("Please enter a Vehicle Number."));
    m_vehicle.addTo(grid, 1);
    lblMaintenanceDate = makeValueLabel(QStringLiteral("lblMaintenanceDate"), this);
    grid->addWidget(makeCaption(QStringLiteral("Label8"), tr("Maintenance Date"), this, lblMaintenanceDate),
        kMaintenanceDateRow, 0);
    grid->addWidget(lblMaintenanceDate, kMaintenanceDateRow, 1);
    lblMechanic = makeValueLabel(QStringLiteral("lblMechanic"), this);
    grid->addWidget(makeCaption(QStringLiteral("Label9"), tr("Mechanic"), this, lblMechanic), kMechanicRow, 0);
    grid->addWidget(lblMechanic, kMechanicRow, 1);

    lstRepairDates = new RepairDateList(this);
    grid->addWidget(
        makeCaption(QStringLiteral("Label10"), tr("Repair Dates"), this, lstRepairDates), 0, kListColumn);
    lstRepairDates->setObjectName(QStringLiteral("lstRepairDates"));
    lstRepairDates->setModel(&m_repairDates);
    lstRepairDates->setUniformItemSizes(true);
    lstRepairDates->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRepairDates->setMinimumWidth(160);
    grid->addWidget(lstRepairDates, 1, kListColumn, kMechanicRow, 1);

    // A scrolling value label, so comments of any length can be read whole.
    lblComments = new ValueView(this);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setMinimumHeight(5 * lblComments->fontMetrics().height());
    grid->addWidget(makeCaption(QStringLiteral("Label11"), tr("Comments"), this, lblComments), kCommentsRow, 0,
        Qt::AlignTop);
    grid->addWidget(lblComments, kCommentsRow, 1, 1, 2);
    grid->setRowStretch(kCommentsRow, 1);

    cmdClear = makeButton(QStringLiteral("cmdClear"), tr("&Clear"), this);
    cmdShowHistory = makeButton(QStringLiteral("cmdShowHistory"), tr("Show &History"), this);
    layout->addLayout(makeButtonRow(cmdClear, { cmdShowHistory }));

    setTabOrderChain({ txtVehicleNumber, cmdShowHistory, cmdClear, lstRepairDates });
    setDefaultButton(this, cmdShowHistory);
    setCancelButton(this, cmdClear);
    addHistoryCommands();
    connect(cmdShowHistory, &QPushButton::clicked, this, &frmRepairHistory::cmdShowHistory_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmRepairHistory::cmdClear_Click);
    // The selection changes on a click and on the arrow keys alike, not when the list takes the focus.
    connect(lstRepairDates->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this](const QItemSelection& selected) {
            if (!selected.isEmpty())
                lstRepairDates_Click(selected.indexes().first());
        });
    txtVehicleNumber->setFocus();
}

void frmRepairHistory::cmdShowHistory_Click()
{
    if (!m_vehicleNumber.allFilled(this))
        return;
    // Whatever happens next, no earlier vehicle's data stays on show.
    m_vehicle.clear();
    const QString number = txtVehicleNumber->text();
    std::optional<data::Vehicle> vehicle;
    QList<data::JobKey> jobs;
    const bool read = withStore(this, [&] {
        data::Database store;
        vehicle = store.firstVehicle(number);
        jobs = store.jobsOf(number);
    });
    if (!read)
        return;
    // Jobs stored under a number no vehicle has are still listed: they are the shop's records.
    m_repairDates.append(jobs);
    m_vehicle.showFound(this, number, vehicle);
    m_shownVehicle = number;
    mnuPrintHistory->setEnabled(true);
    mnuSaveHistoryCsv->setEnabled(true);
}

void frmRepairHistory::lstRepairDates_Click(const QModelIndex& entry)
{
    if (!entry.isValid())
        return;
    const data::JobKey key = m_repairDates.job(entry.row());
    std::optional<data::Job> job;
    const bool read = withStore(this, [&] { job = data::Database().firstJob(key); });
    // Whatever happens, no other job's details stay on show.
    showJob(job.value_or(data::Job {}));
    if (read && !job)
        showMessage(this, tr("The job of %1 is no longer in Vantorel.mdb.").arg(quotedValue(key.date)));
}

void frmRepairHistory::showJob(const data::Job& job)
{
    lblMaintenanceDate->setText(job.date);
    lblMechanic->setText(job.mechanicId);
    lblComments->setPlainText(inViewableLines(job.comments, kLongestViewLine));
}

void frmRepairHistory::cmdClear_Click()
{
    m_shownVehicle.clear();
    mnuPrintHistory->setEnabled(false);
    mnuSaveHistoryCsv->setEnabled(false);
    m_vehicleNumber.clear();
    m_vehicle.clear();
    showJob({});
    m_repairDates.clear();
}

void frmRepairHistory::addHistoryCommands()
{
    lstRepairDates->setContextMenuPolicy(Qt::ActionsContextMenu);
    mnuPrintHistory = new QAction(tr("Print Repair History…"), lstRepairDates);
    mnuPrintHistory->setObjectName(QStringLiteral("mnuPrintHistory"));
    connect(mnuPrintHistory, &QAction::triggered, this, &frmRepairHistory::mnuPrintHistory_Click);
    mnuSaveHistoryCsv = new QAction(tr("Save Repair History as CSV…"), lstRepairDates);
    mnuSaveHistoryCsv->setObjectName(QStringLiteral("mnuSaveHistoryCsv"));
    connect(mnuSaveHistoryCsv, &QAction::triggered, this, &frmRepairHistory::mnuSaveHistoryCsv_Click);
    // Offered once a vehicle's history is shown: the history of the vehicle shown last.
    mnuPrintHistory->setEnabled(false);
    mnuSaveHistoryCsv->setEnabled(false);
    lstRepairDates->addActions({ mnuPrintHistory, mnuSaveHistoryCsv });
}

std::optional<PrintedHistory> frmRepairHistory::readHistory()
{
    // One action, released before any dialog waits for the user.
    PrintedHistory history { m_shownVehicle, {}, {} };
    std::optional<data::Vehicle> vehicle;
    const bool read = withStore(this, [&] {
        data::Database store;
        vehicle = store.firstVehicle(history.vehicleNumber);
        history.jobs = store.historyOf(history.vehicleNumber);
    });
    if (!read)
        return std::nullopt;
    history.vehicleData = VehicleLabels::captionedFields(vehicle.value_or(data::Vehicle {}));
    return history;
}

void frmRepairHistory::mnuPrintHistory_Click()
{
    const std::optional<PrintedHistory> history = readHistory();
    if (!history)
        return;
    printWithDialog(
        this, tr("Vantorel repair history of vehicle %1").arg(history->vehicleNumber), QPageLayout::Portrait, nullptr,
        [&](QPrinter& printer) { return HistoryPrinter(*history).print(printer); },
        tr("The repair history of vehicle %1 has been sent to the printer.").arg(quotedValue(history->vehicleNumber)),
        tr("The repair history could not be printed. Please check the printer and try again."));
}

void frmRepairHistory::mnuSaveHistoryCsv_Click()
{
    const std::optional<PrintedHistory> history = readHistory();
    if (!history)
        return;
    saveCsvAs(this, tr("Save Repair History as CSV"), tr("The repair history of vehicle %1").arg(quotedValue(history->vehicleNumber)),
        [&] { return historyAsCsv(*history); });
}

} // namespace vantorel

#include "frmRepairHistory.moc"
