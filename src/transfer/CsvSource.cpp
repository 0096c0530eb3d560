#include "transfer/CsvSource.h"

#include "data/StoreError.h"
#include "data/StoredValues.h"
#include "data/Tables.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace vantorel::transfer {

using data::FieldKind;
using data::StoreError;
using data::TableDescription;

namespace {

// The records of an RFC 4180 file, their fields as the bytes between the separators, one at a time.
class CsvRecords {
public:
    explicit CsvRecords(const QString& path)
        : m_file(path)
        , m_name(QFileInfo(path).fileName())
    {
        if (!m_file.open(QIODevice::ReadOnly))
            throw StoreError(QStringLiteral("Could not open %1.").arg(path), m_file.errorString());
        fill();
        if (m_buffer.startsWith("\xEF\xBB\xBF"))
            m_at = 3;
    }

    // Reads the next record's fields; false at the end of the file.
    bool next(QList<QByteArray>& fields)
    {
        fields.clear();
        m_recordLine = m_line;
        if (!more())
            return false;
        QByteArray field;
        bool quoted = false;  // inside a quoted field
        bool wasQuoted = false;
        while (true) {
            if (!more()) {
                if (quoted)
                    fail(QStringLiteral("a quoted field is not closed before the end of the file"));
                fields << field;
                return true;
            }
            const char c = m_buffer.at(m_at++);
            if (c == '\n')
                ++m_line;
            if (quoted) {
                if (c != '"')
                    field += c;
                else if (peek() == '"')
                    field += char(m_buffer.at(m_at++));
                else
                    quoted = false;
                continue;
            }
            if (c == ',') {
                fields << field;
                field.clear();
                wasQuoted = false;
            } else if (c == '\n' || (c == '\r' && peek() == '\n')) {
                if (c == '\r')
                    ++m_at, ++m_line;
                fields << field;
                return true;
            } else if (c == '"' && field.isEmpty() && !wasQuoted) {
                quoted = wasQuoted = true;
            } else if (c == '"' || wasQuoted) {
                fail(wasQuoted ? QStringLiteral("a quoted field goes on after its closing quote")
                               : QStringLiteral("a field that does not begin with a quote holds one"));
            } else {
                field += c;
            }
        }
    }

    qint64 line() const { return m_recordLine; }

    [[noreturn]] void fail(const QString& reason) const
    {
        throw StoreError(QStringLiteral("%1, line %2: %3; nothing was imported.").arg(m_name).arg(m_recordLine).arg(reason),
                         QString());
    }

private:
    bool more()
    {
        if (m_at < m_buffer.size())
            return true;
        fill();
        return m_at < m_buffer.size();
    }

    char peek()
    {
        return more() ? m_buffer.at(m_at) : '\0';
    }

    void fill()
    {
        m_buffer = m_file.read(1 << 20);
        m_at = 0;
    }

    QFile m_file;
    QString m_name;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
};

// Whether the bytes are UTF-8: every character in its shortest form, no surrogate, none past U+10FFFF.
bool isUtf8(const QByteArray& bytes)
{
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = at + bytes.size();
    while (at < end) {
        const unsigned char lead = *at++;
        if (lead < 0x80)
            continue;
        const int more = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : -1;
        if (more < 0 || lead > 0xf4 || lead == 0xc0 || lead == 0xc1 || end - at < more)
            return false;
        char32_t c = lead & (0x3f >> more);
        for (int i = 0; i < more; ++i, ++at) {
            if ((*at & 0xc0) != 0x80)
                return false;
            c = c << 6 | (*at & 0x3f);
        }
        const char32_t shortest[] = {0, 0x80, 0x800, 0x10000};
        if (c < shortest[more] || c > 0x10ffff || (c >= 0xd800 && c < 0xe000))
            return false;
    }
    return true;
}

QString decoded(const CsvRecords& records, const QByteArray& bytes)
{
    if (!isUtf8(bytes))
        records.fail(QStringLiteral("the file is not UTF-8 text"));
    return QString::fromUtf8(bytes);
}

bool isWord(const QByteArray& text, std::initializer_list<const char*> words)
{
    const QByteArray word = text.trimmed();
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return word.compare(w, Qt::CaseInsensitive) == 0; });
}

const char* yesNo(const CsvRecords& records, const QByteArray& text)
{
    if (isWord(text, {"yes", "true", "1", "-1"}))
        return "1";
    if (text.trimmed().isEmpty() || isWord(text, {"no", "false", "0"}))
        return "0";
    records.fail(QStringLiteral("Manager holds \"%1\", which is neither Yes nor No").arg(QString::fromUtf8(text)));
}

// The table's record of one row of the file.
void toRecord(const CsvRecords& records, const TableDescription& table, const std::vector<int>& fieldOfColumn,
              const QList<QByteArray>& fields, data::BulkRecord& record)
{
    if (fields.size() != qsizetype(fieldOfColumn.size()))
        records.fail(QStringLiteral("the row has %1 fields where the first row names %2")
                         .arg(fields.size())
                         .arg(fieldOfColumn.size()));
    record.resize(table.fields.size());
    for (qsizetype column = 0; column < fields.size(); ++column) {
        const size_t field = size_t(fieldOfColumn[size_t(column)]);
        const QByteArray& bytes = fields.at(column);
        if (!isUtf8(bytes))
            records.fail(QStringLiteral("the file is not UTF-8 text"));
        const qsizetype guard = bytes.startsWith('\'') ? 1 : 0;
        const std::string_view text(bytes.constData() + guard, size_t(bytes.size() - guard));
        record[field].set(table.fields[field].kind == FieldKind::YesNo ? std::string_view(yesNo(records, bytes)) : text);
    }
}

class CsvTableReader : public TableReader {
public:
    CsvTableReader(const QString& path, const TableDescription& table, const std::vector<int>& fieldOfColumn)
        : m_records(path)
        , m_table(table)
        , m_fieldOfColumn(fieldOfColumn)
    {
        m_records.next(m_fields); // the column names, read when the source was opened
    }

    bool next(data::BulkRecord& record) override
    {
        if (!m_records.next(m_fields))
            return false;
        toRecord(m_records, m_table, m_fieldOfColumn, m_fields, record);
        return true;
    }


private:
    CsvRecords m_records;
    const TableDescription& m_table;
    const std::vector<int>& m_fieldOfColumn;
    QList<QByteArray> m_fields;
};

// The field a column's name stands for: its field name or its report title, letter case ignored.
int fieldNamed(const TableDescription& table, const QString& name)
{
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const auto& field = table.fields[i];
        if (name.compare(QLatin1String(field.name), Qt::CaseInsensitive) == 0
            || (field.title && name.compare(QLatin1String(field.title), Qt::CaseInsensitive) == 0))
            return int(i);
    }
    return -1;
}

} // namespace

CsvSource::CsvSource(const TableDescription& table, const QString& path)
    : m_table(table)
    , m_path(path)
{
    CsvRecords records(path);
    QList<QByteArray> fields;
    if (!records.next(fields))
        records.fail(QStringLiteral("the file is empty; its first row must name the columns"));
    std::vector<bool> named(table.fields.size(), false);
    for (const QByteArray& bytes : std::as_const(fields)) {
        const QString name = decoded(records, bytes).trimmed();
        const int field = fieldNamed(table, name);
        if (field < 0)
            records.fail(QStringLiteral("the table %1 has no field \"%2\"").arg(table.sqlName(), name));
        if (named[size_t(field)])
            records.fail(QStringLiteral("the field %1 is named twice").arg(QLatin1String(table.fields[size_t(field)].name)));
        named[size_t(field)] = true;
        m_fieldOfColumn.push_back(field);
    }
    for (size_t field = 0; field < named.size(); ++field) {
        if (!named[field])
            records.fail(QStringLiteral("the first row names no column for the field %1")
                             .arg(QLatin1String(table.fields[field].name)));
    }
    data::BulkRecord record;
    while (records.next(fields)) {
        toRecord(records, table, m_fieldOfColumn, fields, record);
        ++m_records;
    }
}

QString CsvSource::name() const
{
    return QStringLiteral("the CSV file %1").arg(m_path);
}

std::unique_ptr<TableReader> CsvSource::read(const TableDescription& table)
{
    return std::make_unique<CsvTableReader>(m_path, table, m_fieldOfColumn);
}

} // namespace vantorel::transfer
