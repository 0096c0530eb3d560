#pragma once

#include <QWidget>

namespace vantorel {

class frmAddUser : public QWidget {
    Q_OBJECT

public:
    explicit frmAddUser(QWidget* parent = nullptr);
};

} // namespace vantorel
