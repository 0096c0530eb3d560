#include "records/frmAddUser.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/StoreAction.h"
#include "common/WindowKeys.h"
#include "data/Credentials.h"
#include "data/Database.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantorel {

frmAddUser::frmAddUser(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAddUser"));
    setWindowTitle(tr("Add a new User"));

    auto* grid = new QGridLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    txtIDNumber
        = m_entries.add(grid, "Label1", tr("ID Number"), "txtIDNumber", tr("Please enter an ID Number."));
    txtLName = m_entries.add(grid, "Label2", tr("Last Name"), "txtLName", tr("Please enter a Last Name."));
    txtFName = m_entries.add(grid, "Label3", tr("First Name"), "txtFName", tr("Please enter a First Name."));
    txtAddress = m_entries.add(grid, "Label4", tr("Address"), "txtAddress", tr("Please enter an Address."));
    txtTelephone = m_entries.add(
        grid, "Label5", tr("Telephone"), "txtTelephone", tr("Please enter a Telephone Number."));
    txtPassword
        = m_entries.add(grid, "Label6", tr("Password"), "txtPassword", tr("Please enter a Password."));
    txtIDNumber->setMinimumWidth(240);

    chkManager = new QCheckBox(tr("Manager"), this);
    chkManager->setObjectName(QStringLiteral("chkManager"));
    grid->addWidget(chkManager, grid->rowCount(), 1);

    cmdClear = makeButton(QStringLiteral("cmdClear"), tr("&Clear"), this);
    cmdSumbit = makeButton(QStringLiteral("cmdSumbit"), tr("&Submit"), this);
    layout->addLayout(makeButtonRow(cmdClear, { cmdSumbit }));

    setTabOrderChain({ txtIDNumber, txtLName, txtFName, txtAddress, txtTelephone, txtPassword, chkManager,
        cmdSumbit, cmdClear });
    setDefaultButton(this, cmdSumbit);
    setCancelButton(this, cmdClear);
    connect(cmdSumbit, &QPushButton::clicked, this, &frmAddUser::cmdSumbit_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmAddUser::cmdClear_Click);
    txtIDNumber->setFocus();
}

void frmAddUser::cmdSumbit_Click()
{
    if (!m_entries.allFilled(this))
        return;
    const QStringList entries { txtIDNumber->text(), txtLName->text(), txtFName->text(), txtAddress->text(),
        txtTelephone->text(), txtPassword->text(), chkManager->isChecked() ? QStringLiteral("1") : QStringLiteral("0") };
    const QString identity = m_identity.forEntries(entries);
    const bool saved = withStore(this, [&] {
        const data::Person person { entries[0], entries[1], entries[2], entries[3], entries[4],
            data::hashPassword(entries[5]), entries[6] == QLatin1String("1") };
        data::Database().append(person, identity);
    });
    if (!saved)
        return;
    m_identity.confirmed();
    showMessage(this, tr("New User Added Successfully."));
    cmdClear_Click();
}

void frmAddUser::cmdClear_Click()
{
    m_entries.clear();
    chkManager->setChecked(false);
}

} // namespace vantorel
