#include "data/Tables.h"

#include "data/Records.h"

namespace vantorel::data {

QString FieldDescription::sqlName() const
{
    const QString plain = QString::fromLatin1(name);
    return plain == QLatin1String("Date") ? QStringLiteral("\"Date\"") : plain;
}

QStringList TableDescription::shownFieldNames() const
{
    QStringList names;
    for (const FieldDescription& field : fields) {
        if (field.kind != FieldKind::Secret)
            names << QString::fromLatin1(field.name);
    }
    return names;
}

QStringList TableDescription::shownFieldTitles() const
{
    QStringList titles;
    for (const FieldDescription& field : fields) {
        if (field.kind != FieldKind::Secret)
            titles << QString::fromLatin1(field.title);
    }
    return titles;
}

QString TableDescription::insertStatement(int records) const
{
    QStringList names;
    QStringList placeholders;
    for (const FieldDescription& field : fields) {
        names << field.sqlName();
        placeholders << QStringLiteral("?");
    }
    const QString record = QStringLiteral("(%1)").arg(placeholders.join(QStringLiteral(", ")));
    return QStringLiteral("insert into %1 (%2) values %3")
        .arg(sqlName(), names.join(QStringLiteral(", ")), QStringList(records, record).join(QStringLiteral(", ")));
}

QString TableDescription::keyedInsertStatement() const
{
    QStringList names;
    for (const FieldDescription& field : fields)
        names << field.sqlName();
    names << QLatin1String(kAppendKeyColumn);
    return QStringLiteral("insert into %1 (%2) values (%3)")
        .arg(sqlName(), names.join(QStringLiteral(", ")), QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

QStringList fieldTexts(const Vehicle& vehicle)
{
    return {vehicle.vehicleNumber, vehicle.contractNumber, vehicle.license, vehicle.make,
            vehicle.model,         vehicle.color,          vehicle.year,    vehicle.datePurchased};
}

} // namespace vantorel::data
