// Records brought in by the setup tool: the earlier program's Jet file converted, CSV files
// appended. Each import either stores every record, compared, or changes nothing at all.

#include "TestSupport.h"

#include "data/Connection.h"
#include "data/Credentials.h"
#include "data/ServerStore.h"
#include "data/StoreError.h"
#include "transfer/JetText.h"


#include <csignal>
#include <optional>

using namespace vantorel;
using namespace vantorel::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The Jet files made for these tests, beside the checkout; a run without them says so.
QString jetFile(const QString& name)
{
    const QString path = qEnvironmentVariable("VANTOREL_JET_FILES") + u'/' + name;
    return QFile::exists(path) ? path : QString();
}

#define REQUIRE_JET(path)                                                                                              \
    if ((path).isEmpty())                                                                                              \
        QSKIP("The Jet test files (../shared/jet beside the checkout) are not here.");

// A table as mdb-export writes it, without the names: each field's text, empty for a Null and an
// empty text alike.
QList<QStringList> exported(const QString& jet, const char* table)
{
    QTemporaryDir folder;
    writeAll(folder.filePath(u"table.csv"_s), runTool(u"mdb-export"_s, {jet, QString::fromLatin1(table)}).toUtf8());
    return csvRows(folder.filePath(u"table.csv"_s)).mid(1);
}

// mdb-export shows a character outside the Basic Multilingual Plane as "??"; the import keeps it.
QString asExportShows(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        shown += pair ? QStringLiteral("??") : QString(text[i]);
        i += pair ? 1 : 0;
    }
    return shown;
}

// Every record and field of the store against the Jet file, in the file's order: texts equal,
// passwords hashes that verify what the file held.
void compareWithJet(const TestStore& store, const QString& jet)
{
    const QString personFields = u"IDNumber, LName, FName, Address, Telephone, Password, Manager"_s;
    for (const auto& [table, fields] : {std::pair{"Person", personFields},
                                        std::pair{"Vehicle", u"*"_s}, std::pair{"Servicing", u"*"_s}}) {
        const QList<QStringList> original = exported(jet, table);
        const QList<QStringList> copy
            = store.rows(u"select %1 from %2 order by %3"_s.arg(fields, QLatin1String(table), TestStore::storedOrder()));
        QCOMPARE(copy.size(), original.size());
        for (qsizetype row = 0; row < copy.size(); ++row) {
            QCOMPARE(copy[row].size(), original[row].size());
            for (qsizetype field = 0; field < copy[row].size(); ++field) {
                const QString& was = original[row][field];
                const QString& is = copy[row][field];
                if (was.isEmpty())
                    QVERIFY(is.isEmpty() || is == u"<NULL>"_s);
                else if (table == std::string_view("Person") && field == 5)
                    QVERIFY(is.startsWith(u"$argon2id$") && data::passwordMatches(is, was));
                else
                    QCOMPARE(asExportShows(is), was);
            }
        }
    }
}

// The command that imports the Jet file at `from` (the folder's own when empty), to the server on
// that engine.
QStringList importCommand(const TestStore& store, const QString& from = {})
{
    QStringList arguments = {u"--import"_s};
    if (!from.isEmpty())
        arguments << from;
    if (onServer())
        arguments << u"--server"_s << QString::fromUtf8(store.serverUri());
    return arguments;
}

} // namespace

class TestTransfer : public test::Suite {
    Q_OBJECT

private slots:
    // The earlier program's folder: the program says how to convert it; the conversion keeps the
    // Jet file and stores every record as it was, in the file's order; an imported user logs in
    // with the password they had and sees a vehicle's jobs in the order the earlier program listed.
    void earlierProgramsFileIsConvertedInPlace()
    {
        const QString jet = jetFile(u"typical.mdb"_s);
        REQUIRE_JET(jet);
        TestStore store(TestStore::Contents::Nothing);
        writeAll(store.databasePath(), readAll(jet));
        MessageWatcher messages;
        QVERIFY(!logIn(u"10000001"_s, u"manager1"_s));
        QCOMPARE(messages.takeOnly(), u"Vantorel.mdb is a database of the earlier program. Convert it once, in "
                                      "this folder, with the command:\n\nvantorel-setup --import"_s);

        const ToolRun converted = runSetup(store.folder(), importCommand(store));
        QVERIFY2(converted.exitCode == 0, converted.shown.constData());
        for (const char* line : {"Person: 7 records read, 7 stored, 7 compared equal; 6 passwords hashed (",
                                 "Vehicle: 24 records read, 24 stored, 24 compared equal\n",
                                 "Servicing: 80 records read, 80 stored, 80 compared equal\n"})
            QVERIFY2(converted.shown.contains(line), converted.shown.constData());
        QCOMPARE(readAll(store.databasePath() + u".before-import"_s), readAll(jet));
        compareWithJet(store, jet);
        // What no export shows: Null stays Null and empty text stays empty.
        const QString nullAndEmpty = u"select sum(case when %1 is null then 1 else 0 end), sum(case when %1 = '' then 1 "
                                     "else 0 end) from %2"_s;
        QCOMPARE(store.rows(nullAndEmpty.arg(u"Address"_s, u"Person"_s)), QList<QStringList>({{u"1"_s, u"1"_s}}));
        QCOMPARE(store.rows(nullAndEmpty.arg(u"Password"_s, u"Person"_s)), QList<QStringList>({{u"1"_s, u"0"_s}}));
        QCOMPARE(store.rows(nullAndEmpty.arg(u"Color"_s, u"Vehicle"_s)), QList<QStringList>({{u"1"_s, u"0"_s}}));
        QCOMPARE(store.rows(nullAndEmpty.arg(u"Comments"_s, u"Servicing"_s)), QList<QStringList>({{u"9"_s, u"9"_s}}));

        QWidget* frame = logIn(u"10000002"_s, u"it's me"_s);
        QVERIFY(frame);
        QWidget* history = openWindow(frame, QKeySequence(u"Ctrl+H"_s));
        showHistory(history, u"1001"_s);
        QStringList inFile;
        for (const QStringList& job : exported(jet, "Servicing")) {
            if (job[0] == u"1001"_s)
                inFile << job[3];
        }
        QVERIFY(inFile.size() > 1);
        QCOMPARE(listedDates(history), inFile);

        const ToolRun again = runSetup(store.folder(), importCommand(store));
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.shown.contains("is not a database of the earlier program"), again.shown.constData());
    }

    // Another tool's kinds of field: numbers, dates and a yes/no as text arrive as the text the
    // earlier program showed, and what the store has no field for is named and left.
    void otherKindsArriveAsTheEarlierProgramShowedThem()
    {
        const QString jet = jetFile(u"odd-types.mdb"_s);
        REQUIRE_JET(jet);
        TestStore store(TestStore::Contents::Nothing);
        const ToolRun imported = runSetup(store.folder(), importCommand(store, jet));
        QVERIFY2(imported.exitCode == 0, imported.shown.constData());
        for (const char* left : {"fields left out: ID, Hired\n", "fields left out: Notes\n", "fields left out: JobID\n"})
            QVERIFY2(imported.shown.contains(left), imported.shown.constData());
        const QString first = u" from %2 order by %1 limit 1"_s.arg(TestStore::storedOrder());
        QCOMPARE(store.rows(u"select VNumber, Year, DatePurchased"_s + first.arg(u"Vehicle"_s)),
                 QList<QStringList>({{u"1001"_s, u"1995"_s, u"1/1/2000"_s}}));
        QCOMPARE(store.rows(u"select VNumber, \"Date\", StartTime"_s + first.arg(u"Servicing"_s)),
                 QList<QStringList>({{u"1001"_s, u"1/1/2003"_s, u"7:00:00 AM"_s}}));
        QCOMPARE(store.rows(u"select Manager from Person order by %1"_s.arg(TestStore::storedOrder())),
                 QList<QStringList>({{u"1"_s}, {u"1"_s}, {u"0"_s}, {u"0"_s}, {u"0"_s}, {u"0"_s}, {u"1"_s}}));
    }

    void jetValuesBecomeTheTextsTheEarlierProgramShowed_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expected");
        using transfer::jetCurrencyText;
        using transfer::jetDateTimeText;
        using transfer::jetNumberText;
        QTest::newRow("date alone") << jetDateTimeText(38000) << u"1/14/2004"_s;
        QTest::newRow("time alone") << jetDateTimeText(0.25) << u"6:00:00 AM"_s;
        QTest::newRow("date and time") << jetDateTimeText(37994.5924652778) << u"1/8/2004 2:13:09 PM"_s;
        QTest::newRow("a second before midnight") << jetDateTimeText(38000 + 86399.0 / 86400) << u"1/14/2004 11:59:59 PM"_s;
        QTest::newRow("rounds up to midnight") << jetDateTimeText(38000.9999999) << u"1/15/2004"_s;
        QTest::newRow("before 1899") << jetDateTimeText(-1.25) << u"12/29/1899 6:00:00 AM"_s;
        QTest::newRow("year one thousand") << jetDateTimeText(-328716) << u"1/1/1000"_s;
        QTest::newRow("currency") << jetCurrencyText(125000) << u"12.5"_s;
        QTest::newRow("whole currency") << jetCurrencyText(30000) << u"3"_s;
        QTest::newRow("negative currency") << jetCurrencyText(-2500) << u"-0.25"_s;
        QTest::newRow("cents") << jetCurrencyText(1234567) << u"123.4567"_s;
        QTest::newRow("double") << jetNumberText(2.5, 15) << u"2.5"_s;
        QTest::newRow("large double") << jetNumberText(1e20, 15) << u"1E+20"_s;
        QTest::newRow("small single") << jetNumberText(double(1.5e-7f), 7) << u"1.5E-07"_s;
        QTest::newRow("single's digits") << jetNumberText(double(0.1f), 7) << u"0.1"_s;
        const auto text = [](const QByteArray& bytes) {
            std::string out;
            transfer::jet4Text(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()), out);
            return QString::fromStdString(out);
        };
        QTest::newRow("UTF-16") << text(QByteArray("A\0\xe9\0", 4)) << u"Aé"_s;
        QTest::newRow("surrogate pair") << text(QByteArray("\x3d\xd8\x90\xde", 4)) << u"🚐"_s;
        QTest::newRow("lone surrogate") << text(QByteArray("\x3d\xd8" "A\0", 4)) << u"\ufffdA"_s;
        QTest::newRow("compressed") << text(QByteArray("\xff\xfe" "Ab\xe9", 5)) << u"Abé"_s;
        QTest::newRow("compressed, then two bytes") << text(QByteArray("\xff\xfe" "A\0\x3d\xd8\x90\xde\0z", 10))
                                                    << u"A🚐z"_s;
        QTest::newRow("compressed, empty") << text(QByteArray("\xff\xfe", 2)) << u""_s;
    }

    void jetValuesBecomeTheTextsTheEarlierProgramShowed()
    {
        QFETCH(QString, shown);
        QFETCH(QString, expected);
        QCOMPARE(shown, expected);
    }

    void refusedFilesChangeNothing_data()
    {
        QTest::addColumn<QString>("file");        // the Jet test file the bad one is made from
        QTest::addColumn<QByteArray>("replaced"); // what replaces its bytes from the start, if anything
        QTest::addColumn<qsizetype>("kept");      // how many of its bytes are kept before that
        QTest::addColumn<QString>("message");
        QTest::newRow("missing table") << u"no-servicing.mdb"_s << QByteArray() << qsizetype(-1)
                                       << u"has no table Servicing; nothing was imported."_s;
        QTest::newRow("missing field") << u"no-color.mdb"_s << QByteArray() << qsizetype(-1)
                                       << u"has no field Color; nothing was imported."_s;
        QTest::newRow("cut short") << u"typical.mdb"_s << QByteArray() << qsizetype(100000)
                                   << u"cannot be read: the file is damaged."_s;
        QTest::newRow("noise after the header") << u"typical.mdb"_s << randomBytes(300000, 11) << qsizetype(4096)
                                                << u"cannot be read as a Jet database"_s;
        QTest::newRow("noise in its records") << u"typical.mdb"_s << randomBytes(107200, 11) << qsizetype(200000)
                                              << u"it says it holds 80 records, but"_s;
        QTest::newRow("not a Jet file") << u"typical.mdb"_s << QByteArray("IDNumber,LName\n1,A\n") << qsizetype(0)
                                        << u"is not a"_s;
    }

    // A Jet file the import cannot take whole is refused with what is wrong, and the folder (and
    // the server) stay as they were, for the folder's own file and for one from elsewhere.
    void refusedFilesChangeNothing()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, replaced);
        QFETCH(qsizetype, kept);
        QFETCH(QString, message);
        const QString jet = jetFile(file);
        REQUIRE_JET(jet);
        for (const bool inPlace : {true, false}) {
            TestStore store(TestStore::Contents::Nothing);
            const QString bad = inPlace ? store.databasePath() : store.folder() + u"/old/earlier.mdb"_s;
            QDir().mkpath(QFileInfo(bad).path());
            writeAll(bad, (kept < 0 ? readAll(jet) : readAll(jet).left(kept)) + replaced);
            const QStringList before = namesIn(store.folder());
            const ToolRun refused = runSetup(store.folder(), importCommand(store, inPlace ? QString() : bad));
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(QString::fromUtf8(refused.shown).contains(message), refused.shown.constData());
            QCOMPARE(namesIn(store.folder()), before);
            if (onServer()) // the server database is still empty
                data::connectEmptyServer(store.serverUri());
        }
    }

    void csvFaultsAreNamedWithTheirLine_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("message");
        const QByteArray header = "VNumber,Contract Number,License,Make,Model,Color,Year,Date Purchased\r\n";
        const QByteArray good = "7001,C-1,L-1,Ford,Transit,White,2020,1/1/2020\r\n";
        QTest::newRow("too few") << header + good + "7002,C-2\r\n" << u"line 3: the row has 2 fields where the first row names 8"_s;
        QTest::newRow("too many") << header + good + good.trimmed() + ",x\n" << u"line 3: the row has 9 fields"_s;
        QTest::newRow("unknown column") << QByteArray("VNumber,Colour\r\n") << u"line 1: the table Vehicle has no field \"Colour\""_s;
        QTest::newRow("missing column") << QByteArray("VNumber,ContractNumber,License,Make,Model,Color,Year\r\n")
                                        << u"line 1: the first row names no column for the field DatePurchased"_s;
        QTest::newRow("named twice") << QByteArray("VNumber,Vehicle Number\r\n") << u"line 1: the field VNumber is named twice"_s;
        QTest::newRow("not UTF-8") << header + good + "7003,C-3,L-3,Citro\xebn,C3,Red,2001,1/1/2001\r\n"
                                   << u"line 3: the file is not UTF-8 text"_s;
        QTest::newRow("open quote") << header + good + "7004,\"C-4,L\r\n" << u"line 3: a quoted field is not closed"_s;
        QTest::newRow("text after a quote") << header + "\"7005\"x,C,L,M,M,C,Y,D\r\n"
                                            << u"line 2: a quoted field goes on after its closing quote"_s;
        QTest::newRow("line after a quoted break") << header + "\"70\r\n06\",C,L,M,M,C,Y,D\r\n7007,C\r\n"
                                                   << u"line 4: the row has 2 fields"_s;
        QTest::newRow("empty") << QByteArray() << u"line 1: the file is empty"_s;
    }

    // A spreadsheet with a fault stops with its line and reason, and not one of its rows is stored.
    void csvFaultsAreNamedWithTheirLine()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        TestStore store;
        store.addVehicle(u"1001"_s);
        writeAll(store.folder() + u"/fleet.csv"_s, csv);
        const ToolRun refused = runSetup(store.folder(), {u"--import-csv"_s, u"Vehicle"_s, u"fleet.csv"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(QString::fromUtf8(refused.shown).contains(u"fleet.csv, "_s + message), refused.shown.constData());
        QCOMPARE(store.count(u"Vehicle"_s), 1);
    }

    // Users from a spreadsheet (a byte-order mark, LF line ends, columns in any order by field name
    // or report title, blanks around one, a quoted line break, a doubled quote, an empty Manager): appended after the users there, their passwords
    // hashed, each able to log in with it; Manager read as the words a user types.
    void csvUsersAreAppendedAndLogIn()
    {
        TestStore store;
        store.addClearTextUser(u"10000001"_s, u"pw"_s, true);
        writeAll(store.folder() + u"/staff.csv"_s,
                 "\xEF\xBB\xBFPassword, ID Number ,manager,Last Name,FName,Address,Telephone\n"
                 "first secret,30000001,True,Ng,Al,\"1 Long\nRoad\",C:\\temp\\n\t1\n"
                 "'=not a formula,30000002,No,'O'Hara,Bo,,\n"
                 "third,30000003,,\"Mc\"\"Quote\",Cy,,\n");
        const ToolRun imported = runSetup(store.folder(), {u"--import-csv"_s, u"person"_s, u"staff.csv"_s});
        QVERIFY2(imported.exitCode == 0, imported.shown.constData());
        QVERIFY2(imported.shown.contains("Person: 3 records read, 3 stored, 3 compared equal; 3 passwords hashed"),
                 imported.shown.constData());
        QCOMPARE(store.rows(u"select IDNumber, LName, Address, Telephone, Manager from Person order by %1"_s.arg(TestStore::storedOrder())),
                 QList<QStringList>({{u"10000001"_s, u"Last"_s, u"1 Road"_s, u"(555) 555-5555"_s, u"1"_s},
                                     {u"30000001"_s, u"Ng"_s, u"1 Long\nRoad"_s, u"C:\\temp\\n\t1"_s, u"1"_s},
                                     {u"30000002"_s, u"O'Hara"_s, u""_s, u""_s, u"0"_s},
                                     {u"30000003"_s, u"Mc\"Quote"_s, u""_s, u""_s, u"0"_s}}));
        MessageWatcher messages;
        QVERIFY(logIn(u"30000001"_s, u"first secret"_s));
        closeAllWindows();
        QVERIFY(logIn(u"30000002"_s, u"=not a formula"_s));
    }

    void importStoppedPartWayLeavesTheFolderAsItWas_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << int(SIGINT);
        QTest::newRow("terminated") << int(SIGTERM);
        QTest::newRow("killed") << int(SIGKILL);
    }

    // Stopped at any moment, the import leaves the earlier program's file where it was, untouched,
    // and no store half made; a stop it can catch says so and removes what it had begun.
    void importStoppedPartWayLeavesTheFolderAsItWas()
    {
        QFETCH(int, signal);
        const QString jet = jetFile(u"fleet.mdb"_s);
        REQUIRE_JET(jet);
        TestStore store(TestStore::Contents::Nothing);
        QVERIFY(QFile::copy(jet, store.databasePath()));
        QProcess setup;
        setup.setWorkingDirectory(store.folder());
        setup.start(setupProgram(), importCommand(store));
        QVERIFY(setup.waitForStarted());
        QTest::qWait(400);
        QCOMPARE(setup.state(), QProcess::Running);
        ::kill(pid_t(setup.processId()), signal);
        QVERIFY(setup.waitForFinished(30000));
        QStringList names = namesIn(store.folder());
        if (signal == SIGKILL) // nothing can remove a file at that stop: at most one unfinished file is left
            names.removeIf([](const QString& name) { return name.startsWith(u"Vantorel.mdb.unfinished-"_s); });
        else
            QVERIFY(setup.readAllStandardError().contains("Stopped before the end; nothing was changed."));
        QCOMPARE(names, QStringList({u"Vantorel.mdb"_s}));
        QCOMPARE(readAll(store.databasePath()), readAll(jet));
    }
};

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
