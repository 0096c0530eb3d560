#pragma once

#include "shell/LoginIdentity.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace vantorel {

class frmReportGen;

// The frame of the running program: the menus of the logged-in user's role and the work windows
// as child windows, each open at most once.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(const LoginIdentity& identity, QWidget* parent = nullptr);
    ~frmMain() override;

private slots:
    void mnuChangeUser_Click();
    void mnuExit_Click();
    void mnuAddUser_Click();
    void mnuAddVehicle_Click();
    void mnuServiceVehicle_Click();
    void mnuRepairHistory_Click();
    void mnuCreateReport_Click();
    void mnuVRHelp_Click();
    void mnuAbout_Click();
    void openReportResults();

private:
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& keys,
                     void (frmMain::*handler)());
    QMenu* addMenu(const QString& name, const QString& caption);
    void buildMenus();
    void showRoleMenu(QMenu* menu, bool visible);
    // Brings the open child window of `slot` forward, or makes it with `make` when none is open.
    void showChild(QPointer<QMdiSubWindow>& slot, const std::function<QWidget*()>& make);
    // Makes the next results window, empty, when the program has nothing else to do.
    void prepareSpareResults();
    // The prepared results window, or a new one when none is ready.
    QMdiSubWindow* takeSpareResults();

    const LoginIdentity m_identity;
    QMdiArea* m_workspace;

    QMenu* mnuControl = nullptr;
    QMenu* mnuManager = nullptr;
    QMenu* mnuServicing = nullptr;
    QMenu* mnuReports = nullptr;
    QMenu* mnuHelp = nullptr;

    QPointer<QMdiSubWindow> m_addUser;
    QPointer<QMdiSubWindow> m_addVehicle;
    QPointer<QMdiSubWindow> m_servicing;
    QPointer<QMdiSubWindow> m_repairHistory;
    QPointer<QMdiSubWindow> m_reportGen;
    QPointer<QMdiSubWindow> m_reportResults;
    QPointer<QMdiSubWindow> m_help;
    // A results window made empty ahead of time, outside the workspace until a report fills it:
    // a report then costs its query and its columns, not the making of thirty controls.
    QPointer<QMdiSubWindow> m_spareResults;
    // The file the last report of this session was printed to, offered again by the next print.
    QString m_lastPrintFile;
};

} // namespace vantorel
