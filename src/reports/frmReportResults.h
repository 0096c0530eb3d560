#pragma once

#include <QWidget>

namespace vantorel {

class frmReportGen;

class frmReportResults : public QWidget {
    Q_OBJECT

public:
    // Builds the report from the generator's criteria as they stand now.
    explicit frmReportResults(const frmReportGen& generator, QWidget* parent = nullptr);

    // False when the criteria were refused; such a window is discarded without being shown.
    bool isBuilt() const { return m_built; }

private:
    bool m_built = false;
};

} // namespace vantorel
