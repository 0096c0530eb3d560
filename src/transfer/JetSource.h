#pragma once

#include "transfer/RecordSource.h"

namespace vantorel::transfer {

class JetFile;

// The earlier program's Vantorel.mdb, a Jet file (Jet 3 or Jet 4), read with libmdb. Tables and
// fields are found by name as Jet finds them, letter case ignored, in any column order; a
// missing one is refused on opening (StoreError), naming it. Every text arrives character for
// character, Memo values whole whatever their length, Null as no value. A value of another kind
// arrives as the text the earlier program showed for it (JetText.h): a whole number in decimal
// digits, a Yes/No as True or False, a Replication ID or Decimal as libmdb writes it. The Manager
// flag is read as the program reads it everywhere (isYesValue). A field holding pictures or other
// binary data cannot be shown as text and is refused.
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
