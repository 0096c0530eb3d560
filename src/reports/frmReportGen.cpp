#include "reports/frmReportGen.h"

#include "common/Controls.h"
#include "common/MessageBox.h"
#include "common/WindowKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vantorel {

namespace {

// An editable drop-down with the choices in the order given and nothing picked yet.
QComboBox* makeChoiceBox(const QString& objectName, const QStringList& choices, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(true);
    // Typed text stays in the edit field; it never becomes an item of the fixed list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(choices);
    // Choices are recognised by their exact text, so completion must not change a typed case.
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->setCurrentIndex(-1);
    box->clearEditText();
    box->setMinimumWidth(170);
    return box;
}

QCheckBox* makeCheckBox(const QString& objectName, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

} // namespace

frmReportGen::frmReportGen(QWidget* parent)
    : QWidget(parent)
    , Label1(makeCaption(QStringLiteral("Label1"), tr("Criteria 1"), this))
    , chkCriteria2(makeCheckBox(QStringLiteral("chkCriteria2"), tr("Criteria 2"), this))
    , chkCriteria3(makeCheckBox(QStringLiteral("chkCriteria3"), tr("Criteria 3"), this))
    , chkCriteria4(makeCheckBox(QStringLiteral("chkCriteria4"), tr("Criteria 4"), this))
    , cboCriteria1(makeChoiceBox(QStringLiteral("cboCriteria1"), firstCriterionChoices(), this))
    , cboCriteria2(makeChoiceBox(QStringLiteral("cboCriteria2"), furtherCriterionChoices(), this))
    , cboCriteria3(makeChoiceBox(QStringLiteral("cboCriteria3"), furtherCriterionChoices(), this))
    , cboCriteria4(makeChoiceBox(QStringLiteral("cboCriteria4"), furtherCriterionChoices(), this))
    , Label2(makeCaption(QStringLiteral("Label2"), tr("is"), this))
    , Label3(makeCaption(QStringLiteral("Label3"), tr("is"), this))
    , Label4(makeCaption(QStringLiteral("Label4"), tr("is"), this))
    , Label5(makeCaption(QStringLiteral("Label5"), tr("is"), this))
    , txtCriteria1(makeTextBox(QStringLiteral("txtCriteria1"), this))
    , txtCriteria2(makeTextBox(QStringLiteral("txtCriteria2"), this))
    , txtCriteria3(makeTextBox(QStringLiteral("txtCriteria3"), this))
    , txtCriteria4(makeTextBox(QStringLiteral("txtCriteria4"), this))
    , cmdReset(makeButton(QStringLiteral("cmdReset"), tr("&Reset"), this))
    , cmdGenerate(makeButton(QStringLiteral("cmdGenerate"), tr("&Generate Report"), this))
    , m_rows{{{nullptr, cboCriteria1, txtCriteria1},
              {chkCriteria2, cboCriteria2, txtCriteria2},
              {chkCriteria3, cboCriteria3, txtCriteria3},
              {chkCriteria4, cboCriteria4, txtCriteria4}}}
{
    setObjectName(QStringLiteral("frmReportGen"));
    setWindowTitle(tr("Report Generator"));
    layOut();

    for (int row = 1; row < int(m_rows.size()); ++row) {
        m_rows[row].choice->setEnabled(false);
        m_rows[row].value->setEnabled(false);
    }
    chkCriteria3->setEnabled(false);
    chkCriteria4->setEnabled(false);

    setTabOrderChain({cboCriteria1, txtCriteria1, chkCriteria2, cboCriteria2, txtCriteria2, chkCriteria3,
                      cboCriteria3, txtCriteria3, chkCriteria4, cboCriteria4, txtCriteria4, cmdGenerate,
                      cmdReset});
    setDefaultButton(this, cmdGenerate);
    setCancelButton(this, cmdReset);
    connectControls();
    cboCriteria1->setFocus();
}

void frmReportGen::layOut()
{
    auto* grid = new QGridLayout(this);
    QWidget* headings[] = {Label1, chkCriteria2, chkCriteria3, chkCriteria4};
    QLabel* between[] = {Label2, Label3, Label4, Label5};
    Label1->setBuddy(cboCriteria1);
    for (int row = 0; row < int(m_rows.size()); ++row) {
        between[row]->setBuddy(m_rows[row].value);
        nameForScreenReaders(m_rows[row], row == 0 ? Label1->text() : m_rows[row].check->text());
        grid->addWidget(headings[row], 2 * row, 0, 1, 3);
        grid->addWidget(m_rows[row].choice, 2 * row + 1, 0);
        grid->addWidget(between[row], 2 * row + 1, 1);
        grid->addWidget(m_rows[row].value, 2 * row + 1, 2);
        if (row > 0)
            grid->setRowMinimumHeight(2 * row, headings[row]->sizeHint().height() + 6);
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    txtCriteria1->setMinimumWidth(200);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdReset);
    buttons->addStretch();
    buttons->addWidget(cmdGenerate);
    grid->addLayout(buttons, 2 * int(m_rows.size()), 0, 1, 3);
}

void frmReportGen::nameForScreenReaders(const Row& row, const QString& heading)
{
    // The heading above a row names its choice; "is" alone would tell a listener nothing, so the
    // value box is read with the heading before it, as the row reads on screen.
    row.choice->setAccessibleName(heading);
    row.choice->lineEdit()->setAccessibleName(heading);
    row.value->setAccessibleName(tr("%1 is").arg(heading));
}

void frmReportGen::connectControls()
{
    // toggled, not clicked: a box cleared by the program takes its rows out of force too.
    connect(chkCriteria2, &QCheckBox::toggled, this, &frmReportGen::chkCriteria2_Click);
    connect(chkCriteria3, &QCheckBox::toggled, this, &frmReportGen::chkCriteria3_Click);
    connect(chkCriteria4, &QCheckBox::toggled, this, &frmReportGen::chkCriteria4_Click);
    connect(cmdGenerate, &QPushButton::clicked, this, &frmReportGen::cmdGenerate_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmReportGen::cmdReset_Click);
}

ReportCriteria frmReportGen::criteria() const
{
    ReportCriteria criteria;
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const Row& controls = m_rows[row];
        criteria[row] = ReportCriterion{controls.choice->currentText(), controls.value->text(),
                                        !controls.check || controls.check->isChecked()};
    }
    return criteria;
}

void frmReportGen::chkCriteria2_Click()
{
    criteriaBoxChanged(1);
}

void frmReportGen::chkCriteria3_Click()
{
    criteriaBoxChanged(2);
}

void frmReportGen::chkCriteria4_Click()
{
    criteriaBoxChanged(3);
}

void frmReportGen::criteriaBoxChanged(int row)
{
    const bool ticked = m_rows[row].check->isChecked();
    const int last = int(m_rows.size()) - 1;
    if (ticked) {
        m_rows[row].choice->setEnabled(true);
        m_rows[row].value->setEnabled(true);
        if (row < last)
            m_rows[row + 1].check->setEnabled(true);
        return;
    }
    // Clearing a box takes its row and every later row out of force; their texts stay.
    for (int later = row; later <= last; ++later) {
        m_rows[later].choice->setEnabled(false);
        m_rows[later].value->setEnabled(false);
        if (later < last) {
            m_rows[later + 1].check->setEnabled(false);
            m_rows[later + 1].check->setChecked(false);
        }
    }
}

bool frmReportGen::refusedEmptyValue()
{
    const ReportCriteria rows = criteria();
    for (int row = 0; row < int(rows.size()); ++row) {
        const bool required = row == 0 ? !isAllRecordsChoice(rows[row].choice) : rows[row].inForce;
        if (required && rows[row].value.isEmpty()) {
            showMessage(this, tr("Please enter search criteria %1.").arg(row + 1));
            m_rows[row].value->setFocus();
            return true;
        }
    }
    return false;
}

void frmReportGen::cmdGenerate_Click()
{
    if (!refusedEmptyValue())
        emit reportRequested();
}

void frmReportGen::cmdReset_Click()
{
    chkCriteria2->setChecked(false);
    chkCriteria3->setChecked(false);
    chkCriteria4->setChecked(false);
    for (const Row& row : m_rows)
        row.value->clear();
}

} // namespace vantorel
