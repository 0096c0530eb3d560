#include "reports/ReportCriteria.h"

#include "common/MessageBox.h"
#include "data/Tables.h"

#include <QHash>

namespace vantorel {

namespace {

using data::ReportField;
using data::ReportTable;

const QString kAllVehicles = QStringLiteral("All Vehicles");
const QString kAllEmployees = QStringLiteral("All Employees");
const QString kManagerChoice = QStringLiteral("Manager?");

QStringList employeeChoices()
{
    return {QStringLiteral("ID Number"), QStringLiteral("Last Name"), kManagerChoice};
}

QStringList vehicleChoices()
{
    return {QStringLiteral("Vehicle Number"), QStringLiteral("Location"), QStringLiteral("Date"),
            QStringLiteral("Contract Number"), QStringLiteral("License"), QStringLiteral("Make"),
            QStringLiteral("Model"), QStringLiteral("Year"), QStringLiteral("Date Purchased")};
}

// "ID Number, Last Name or Manager?"
QString listInWords(QStringList choices)
{
    const QString last = choices.takeLast();
    return choices.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// A choice is recognised by its whole text, letter case included.
const QHash<QString, ReportField>& fieldOfChoice()
{
    static const QHash<QString, ReportField> fields = {
        {QStringLiteral("ID Number"), ReportField::IDNumber},
        {QStringLiteral("Last Name"), ReportField::LName},
        {kManagerChoice, ReportField::Manager},
        {QStringLiteral("Vehicle Number"), ReportField::VNumber},
        {QStringLiteral("Location"), ReportField::Location},
        {QStringLiteral("Date"), ReportField::Date},
        {QStringLiteral("Contract Number"), ReportField::ContractNumber},
        {QStringLiteral("License"), ReportField::License},
        {QStringLiteral("Make"), ReportField::Make},
        {QStringLiteral("Model"), ReportField::Model},
        {QStringLiteral("Year"), ReportField::Year},
        {QStringLiteral("Date Purchased"), ReportField::DatePurchased},
    };
    return fields;
}

// Yes/no words as a user types them for Manager?, in any letter case.
std::optional<bool> managerAnswer(const QString& value)
{
    const QString word = value.toLower();
    if (word == QLatin1String("yes") || word == QLatin1String("true") || word == QLatin1String("1")
        || word == QLatin1String("-1"))
        return true;
    if (word == QLatin1String("no") || word == QLatin1String("false") || word == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString wrongTableMessage(int row, const QString& choice, ReportTable table)
{
    const bool employees = table == ReportTable::Person;
    return QStringLiteral("Criteria %1, \"%2\", does not apply to %3 report, which can search by %4 only.")
        .arg(QString::number(row), quotedValue(choice), employees ? QStringLiteral("an employee") : QStringLiteral("a vehicle"),
             listInWords(employees ? employeeChoices() : vehicleChoices()));
}

QString managerMessage(int row, const QString& value)
{
    return QStringLiteral("Criteria %1, \"Manager?\", takes Yes or No (True and False, or 1 and 0, "
                          "work too), not \"%2\".")
        .arg(row)
        .arg(quotedValue(value));
}

QString conditionSummary(const ReportCriterion& criterion, const data::ReportCondition& condition)
{
    if (condition.field == ReportField::Manager)
        return kManagerChoice + (condition.manager ? QStringLiteral(" Yes") : QStringLiteral(" No"));
    return QStringLiteral("%1 is \"%2\"").arg(criterion.choice, criterion.value);
}

// Builds the plan row by row; the first row that cannot be searched leaves its refusal.
class Planner {
public:
    explicit Planner(const ReportCriteria& criteria)
        : m_criteria(criteria)
    {
    }

    ReportDecision decide()
    {
        if (!startWithFirstRow())
            return {std::nullopt, m_refusal};
        for (int row = 1; row < int(m_criteria.size()); ++row) {
            if (m_criteria[row].inForce && !addCondition(row))
                return {std::nullopt, m_refusal};
        }
        m_plan.summary = summary();
        return {m_plan, {}};
    }

private:
    bool startWithFirstRow()
    {
        const QString& choice = m_criteria[0].choice;
        if (isAllRecordsChoice(choice)) {
            m_plan.table = choice == kAllVehicles ? ReportTable::Vehicle : ReportTable::Person;
            m_allRecords = choice;
            return true;
        }
        const auto field = fieldOfChoice().constFind(choice);
        if (field == fieldOfChoice().constEnd())
            return refuse(QStringLiteral("Invalid Search Criteria."));
        m_plan.table = data::reportCanSearch(ReportTable::Person, *field) ? ReportTable::Person
                                                                            : ReportTable::Vehicle;
        return addCondition(0);
    }

    bool addCondition(int row)
    {
        const ReportCriterion& criterion = m_criteria[row];
        const auto field = fieldOfChoice().constFind(criterion.choice);
        if (field == fieldOfChoice().constEnd())
            return refuse(QStringLiteral("Invalid Search Criteria."));
        if (!data::reportCanSearch(m_plan.table, *field))
            return refuse(wrongTableMessage(row + 1, criterion.choice, m_plan.table));
        data::ReportCondition condition{*field, criterion.value};
        if (*field == ReportField::Manager) {
            const std::optional<bool> answer = managerAnswer(criterion.value);
            if (!answer)
                return refuse(managerMessage(row + 1, criterion.value));
            condition.manager = *answer;
        }
        m_plan.conditions.append(condition);
        m_conditionTexts.append(conditionSummary(criterion, condition));
        return true;
    }

    bool refuse(const QString& message)
    {
        m_refusal = message;
        return false;
    }

    QString summary() const
    {
        const QString conditions = m_conditionTexts.join(QStringLiteral(" and "));
        if (m_allRecords.isEmpty())
            return conditions;
        return conditions.isEmpty() ? m_allRecords : m_allRecords + QStringLiteral(" where ") + conditions;
    }

    const ReportCriteria& m_criteria;
    ReportPlan m_plan{ReportTable::Vehicle, {}, {}};
    QString m_allRecords;
    QStringList m_conditionTexts;
    QString m_refusal;
};

} // namespace

QStringList firstCriterionChoices()
{
    return QStringList{kAllVehicles, kAllEmployees} + employeeChoices() + vehicleChoices();
}

QStringList furtherCriterionChoices()
{
    // Manager? comes last here, after every choice that compares text.
    QStringList choices = employeeChoices();
    choices.removeOne(kManagerChoice);
    return choices + vehicleChoices() + QStringList{kManagerChoice};
}

bool isAllRecordsChoice(const QString& choice)
{
    return choice == kAllVehicles || choice == kAllEmployees;
}

ReportDecision planReport(const ReportCriteria& criteria)
{
    return Planner(criteria).decide();
}

QStringList columnTitles(data::ReportTable table)
{
    return (table == ReportTable::Person ? data::kPersonTable : data::kVehicleTable).shownFieldTitles();
}

} // namespace vantorel
