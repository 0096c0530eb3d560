#pragma once

#include "common/AppendIdentity.h"
#include "common/RequiredEntries.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vantorel {

// Where a manager registers a new user: each Submit appends one Person record from the six
// entries as typed (the password as a hash) and the Manager box, then empties the window.
class frmAddUser : public QWidget {
    Q_OBJECT

public:
    explicit frmAddUser(QWidget* parent = nullptr);

private slots:
    void cmdSumbit_Click();
    void cmdClear_Click();

private:
    RequiredEntries m_entries;
    AppendIdentity m_identity;
    QLineEdit* txtIDNumber;
    QLineEdit* txtLName;
    QLineEdit* txtFName;
    QLineEdit* txtAddress;
    QLineEdit* txtTelephone;
    QLineEdit* txtPassword;
    QCheckBox* chkManager;
    QPushButton* cmdClear;
    QPushButton* cmdSumbit;
};

} // namespace vantorel
