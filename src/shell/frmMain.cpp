#include "shell/frmMain.h"

#include "common/Controls.h"
#include "maintenance/frmRepairHistory.h"
#include "maintenance/frmServicing.h"
#include "records/frmAddUser.h"
#include "records/frmAddVehicle.h"
#include "reports/frmReportGen.h"
#include "reports/frmReportResults.h"
#include "shell/FrameKeys.h"
#include "shell/frmAbout.h"
#include "shell/frmHelp.h"
#include "shell/frmLogin.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace vantorel {

frmMain::frmMain(const LoginIdentity& identity, QWidget* parent)
    : QMainWindow(parent)
    , m_identity(identity)
    , m_workspace(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Vantorel - User %1 logged in.").arg(identity.employeeId));
    m_workspace->setObjectName(QStringLiteral("mdiWorkspace"));
    // A closed window hands the keyboard back to the one the user came from (the report
    // generator, after a report), not to the next one opened.
    m_workspace->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_workspace);
    buildMenus();
    showRoleMenu(mnuManager, identity.manager);
    showRoleMenu(mnuServicing, !identity.manager);
    new FrameKeys(this, m_workspace);
    // A window larger than the workspace (large text on a small screen) can still be reached.
    m_workspace->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_workspace->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The usual size, or the whole screen where that is smaller (a small screen at a large scale).
    QSize size(1024, 720);
    if (const QScreen* shownOn = screen())
        size = size.boundedTo(shownOn->availableGeometry().size());
    resize(size);
}

QMenu* frmMain::addMenu(const QString& name, const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption,
                          const QKeySequence& keys, void (frmMain::*handler)())
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setShortcut(keys);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

void frmMain::buildMenus()
{
    mnuControl = addMenu(QStringLiteral("mnuControl"), tr("&Control"));
    addItem(mnuControl, QStringLiteral("mnuChangeUser"), tr("Change &User"), QKeySequence(tr("Ctrl+U")),
            &frmMain::mnuChangeUser_Click);
    mnuControl->addSeparator()->setObjectName(QStringLiteral("mnuBreak"));
    addItem(mnuControl, QStringLiteral("mnuExit"), tr("E&xit"), QKeySequence(tr("Ctrl+Q")),
            &frmMain::mnuExit_Click);

    mnuManager = addMenu(QStringLiteral("mnuManager"), tr("&Manager"));
    addItem(mnuManager, QStringLiteral("mnuAddUser"), tr("Add &New User"), QKeySequence(tr("Ctrl+A")),
            &frmMain::mnuAddUser_Click);
    addItem(mnuManager, QStringLiteral("mnuAddVehicle"), tr("Add New &Vehicle"),
            QKeySequence(tr("Ctrl+N")), &frmMain::mnuAddVehicle_Click);

    mnuServicing = addMenu(QStringLiteral("mnuServicing"), tr("&Servicing"));
    addItem(mnuServicing, QStringLiteral("mnuServiceVehicle"), tr("&Service Vehicle"),
            QKeySequence(tr("Ctrl+S")), &frmMain::mnuServiceVehicle_Click);

    mnuReports = addMenu(QStringLiteral("mnuReports"), tr("&Reports"));
    addItem(mnuReports, QStringLiteral("mnuRepairHistory"), tr("View Repair &History"),
            QKeySequence(tr("Ctrl+H")), &frmMain::mnuRepairHistory_Click);
    addItem(mnuReports, QStringLiteral("mnuCreateReport"), tr("Create &Report"),
            QKeySequence(tr("Ctrl+R")), &frmMain::mnuCreateReport_Click);

    mnuHelp = addMenu(QStringLiteral("mnuHelp"), tr("&Help"));
    addItem(mnuHelp, QStringLiteral("mnuVRHelp"), tr("Vantorel &Help"), QKeySequence(Qt::Key_F1),
            &frmMain::mnuVRHelp_Click);
    addItem(mnuHelp, QStringLiteral("mnuAbout"), tr("&About Vantorel"), QKeySequence(),
            &frmMain::mnuAbout_Click);
}

frmMain::~frmMain()
{
    // Outside the workspace, the prepared window has no parent to go with.
    delete m_spareResults;
}

void frmMain::showRoleMenu(QMenu* menu, bool visible)
{
    menu->menuAction()->setVisible(visible);
    // A hidden menu's shortcuts must not reach its windows either.
    for (QAction* item : menu->actions())
        item->setEnabled(visible);
}

void frmMain::showChild(QPointer<QMdiSubWindow>& slot, const std::function<QWidget*()>& make)
{
    // A window closed in this same turn of the event loop is gone for the user, though not deleted yet.
    if (slot && slot->isHidden())
        slot = nullptr;
    if (!slot) {
        QWidget* window = make();
        if (!window)
            return;
        slot = m_workspace->addSubWindow(window);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        // Tab goes round the window's own controls: the frame around them is no stop of its own,
        // which a screen reader would announce after the first control as the focus wraps.
        slot->setFocusPolicy(Qt::NoFocus);
        slot->adjustSize();
        makeRoomForTitle(slot, QApplication::font("QMdiSubWindowTitleBar"));
        // In large text a window may ask for more room than the frame has; it opens as large as
        // the workspace, its layout taking in the rest.
        const QRect workspace = m_workspace->viewport()->rect();
        slot->resize(slot->size().boundedTo(workspace.size()));
        slot->show();
        // The workspace places a new window beside the others, which may push it past the edge.
        slot->move(std::clamp(slot->x(), 0, std::max(0, workspace.width() - slot->width())),
                   std::clamp(slot->y(), 0, std::max(0, workspace.height() - slot->height())));
    }
    // An open window comes back as the user left it, from minimised too.
    if (slot->isMinimized())
        slot->showNormal();
    m_workspace->setActiveSubWindow(slot);
    slot->raise();
}

void frmMain::mnuChangeUser_Click()
{
    auto* login = new frmLogin;
    login->show();
    close();
}

void frmMain::mnuExit_Click()
{
    close();
}

void frmMain::mnuAddUser_Click()
{
    showChild(m_addUser, [] { return new frmAddUser; });
}

void frmMain::mnuAddVehicle_Click()
{
    showChild(m_addVehicle, [] { return new frmAddVehicle; });
}

void frmMain::mnuServiceVehicle_Click()
{
    showChild(m_servicing, [this] { return new frmServicing(m_identity.employeeId); });
}

void frmMain::mnuRepairHistory_Click()
{
    showChild(m_repairHistory, [] { return new frmRepairHistory; });
}

void frmMain::mnuCreateReport_Click()
{
    showChild(m_reportGen, [this] {
        auto* generator = new frmReportGen;
        connect(generator, &frmReportGen::reportRequested, this, &frmMain::openReportResults);
        return generator;
    });
    QTimer::singleShot(0, this, &frmMain::prepareSpareResults);
}

void frmMain::prepareSpareResults()
{
    if (m_spareResults)
        return;
    auto* results = new frmReportResults;
    results->rememberPrintFileIn(&m_lastPrintFile);
    auto* frame = new QMdiSubWindow;
    frame->setWidget(results);
    frame->ensurePolished();
    m_spareResults = frame;
}

QMdiSubWindow* frmMain::takeSpareResults()
{
    prepareSpareResults();
    return std::exchange(m_spareResults, nullptr);
}

void frmMain::openReportResults()
{
    const auto* generator = qobject_cast<const frmReportGen*>(sender());
    showChild(m_reportResults, [this, generator]() -> QWidget* {
        QMdiSubWindow* frame = takeSpareResults();
        if (!static_cast<frmReportResults*>(frame->widget())->build(*generator)) {
            m_spareResults = frame; // still empty: a refused report is never shown
            return nullptr;
        }
        QTimer::singleShot(0, this, &frmMain::prepareSpareResults);
        return frame;
    });
}

void frmMain::mnuVRHelp_Click()
{
    showChild(m_help, [] { return new frmHelp; });
}

void frmMain::mnuAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

} // namespace vantorel
