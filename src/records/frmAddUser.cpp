#include "records/frmAddUser.h"

namespace vantorel {

frmAddUser::frmAddUser(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAddUser"));
    setWindowTitle(tr("Add a new User"));
}

} // namespace vantorel
