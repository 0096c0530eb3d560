#pragma once

#include <QWidget>

namespace vantorel {

class frmReportGen : public QWidget {
    Q_OBJECT

public:
    explicit frmReportGen(QWidget* parent = nullptr);

signals:
    // Generate Report passed its tests: the frame opens the results window (or brings it forward).
    void reportRequested();
};

} // namespace vantorel
