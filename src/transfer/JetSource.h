#pragma once

#include "transfer/RecordSource.h"

namespace vantorel::transfer {

class JetFile;

// The earlier program's Vantorel.mdb, a Jet file (Jet 3 or Jet 4), read with libmdb. Tables and
// fields are found by name as Jet finds them, letter case ignored, in any column order; a
// missing one is refused on opening (StoreError), naming it. Every text arrives character for
// character, Memo values whole whatever their length, Null as no value. A value of another kind
// arrives as the text the earlier program showed for it:
// - a whole number (AutoNumber, Byte, Integer, Long Integer) in decimal digits: 1001;
// - a Single or Double with up to 7 or 15 significant digits: 2.5, 1E+20;
// - a Currency without trailing zeros or a currency sign: 12.5;
// - a Date/Time as a US short date with a four-digit year and a long time, either alone when the
//   other is zero: "1/8/2004", "8:13:29 AM", "1/8/2004 8:13:29 AM";
// - a Yes/No as True or False; a Replication ID as {8-4-4-4-12 hex digits}; a Decimal as libmdb
//   writes it.
// The Manager flag is read as the program reads it everywhere (isYesValue). A field holding
// pictures or other binary data cannot be shown as text and is refused.
class JetSource : public RecordSource {
public:
    explicit JetSource(const QString& path);
    ~JetSource() override;
    JetSource(const JetSource&) = delete;
    JetSource& operator=(const JetSource&) = delete;

    QString name() const override;
    QList<const data::TableDescription*> tables() const override;
    qint64 count(const data::TableDescription& table) override;
    std::unique_ptr<TableReader> read(const data::TableDescription& table) override;
    QStringList extraColumns(const data::TableDescription& table) const override;
    QStringList extraTables() const override;
    bool passwordsAsTyped() const override { return true; }

private:
    std::unique_ptr<JetFile> m_file;
    QStringList m_extraTables;
};

} // namespace vantorel::transfer
