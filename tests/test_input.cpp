// Hostile and unusual input, and the handling of credentials: values reach the store and come
// back byte for byte; stored passwords of every form are compared safely.

#include "TestSupport.h"

#include "common/ValueLabel.h"
#include "data/Credentials.h"
#include "data/Database.h"
#include "maintenance/frmRepairHistory.h"
#include "maintenance/frmServicing.h"
#include "records/frmAddVehicle.h"
#include "reports/frmReportGen.h"
#include "reports/frmReportResults.h"

#include <QToolTip>

#include <sodium.h>

using namespace vantorel;
using namespace vantorel::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList hostileValues()
{
    return {
        QStringLiteral("' or '1'='1"),
        QStringLiteral("\"; drop table Vehicle; --"),
        QStringLiteral("'); delete from Person; select ('"),
        QStringLiteral(" select * from Servicing where 1=1 "),
        QStringLiteral("  leading and trailing blanks  "),
        QStringLiteral("\t\x01\x1f\x7f control characters \r\n newline"),
        QString::fromUtf8("مركبة صيانة"),           // Arabic
        QString::fromUtf8("🚐🔧 van and wrench"),      // emoji outside the BMP
        QString::fromUtf8("e\u0301 combining a\u0308"), // combining marks
        QStringLiteral("%_\\ wildcard and escape characters"),
        QString(1024 * 1024, QLatin1Char('y')),
        QStringLiteral("wheel ").repeated(300), // one line of words, longer than the comments view breaks
    };
}

void setAll(QWidget* window, const QStringList& boxes, const QString& value)
{
    for (const QString& name : boxes)
        box(window, name)->setText(value);
}

// The rows of the report that one criterion selects, built as the main window builds it.
QList<QStringList> reportFor(const QString& choice, const QString& value)
{
    frmReportGen generator;
    child<QComboBox>(&generator, QStringLiteral("cboCriteria1"))->setEditText(choice);
    box(&generator, QStringLiteral("txtCriteria1"))->setText(value);
    frmReportResults results;
    results.build(generator);
    return reportRows(&results, frmReportResults::kColumnCount);
}

// The hash with its cost settings replaced by `cost`.
QString withCost(const QString& hash, const char* cost)
{
    QStringList parts = hash.split(QLatin1Char('$'));
    parts[3] = cost;
    return parts.join(QLatin1Char('$'));
}

// A table as another program may make it: no declared kinds, so every value keeps its own. The
// server's tables keep the kinds they were made with.
void makeUntyped(TestStore& store, const QString& table, const QString& fields)
{
    if (onServer())
        return;
    store.rows(QStringLiteral("drop table %1").arg(table));
    store.rows(QStringLiteral("create table %1 (%2)").arg(table, fields));
}

// A password put into a server's URI, which no message may show.
constexpr char kUriPassword[] = "hunter2-uri";

} // namespace

class TestInput : public test::Suite {
    Q_OBJECT

private slots:
    // What a user types into the windows comes back unchanged in the history and in reports.
    void hostileEntriesSurviveTheWindowsByteForByte()
    {
        TestStore store;
        MessageWatcher messages;
        frmAddVehicle vehicles;
        frmRepairHistory history;
        for (const QString& value : hostileValues()) {
            setAll(&vehicles, kVehicleBoxes, value);
            button(&vehicles, QStringLiteral("cmdSubmit"))->click();
            QCOMPARE(messages.takeOnly(), QStringLiteral("Vehicle Added Successfully."));

            frmServicing servicing(value); // the logged-in ID is stored as given, too
            setAll(&servicing, {"txtVehicleNumber", "txtLocation", "txtComments"}, value);
            button(&servicing, QStringLiteral("cmdViewHistory"))->click();
            QCOMPARE(texts(&servicing, kVehicleLabels), QStringList(7, value));
            button(&servicing, QStringLiteral("cmdStart"))->click();
            button(&servicing, QStringLiteral("cmdComplete"))->click();
            QCOMPARE(messages.takeOnly(), QStringLiteral("Maintenance Complete."));

            click(&history, QStringLiteral("cmdClear"));
            showHistory(&history, value);
            QCOMPARE(texts(&history, kVehicleLabels), QStringList(7, value));
            QCOMPARE(listedDates(&history).size(), 1);
            selectDate(&history, 0);
            QCOMPARE(label(&history, QStringLiteral("lblMechanic"))->text(), value);
            // The comments view holds the whole value; it shows a CR LF pair as the one line break it
            // is, and breaks a line of megabytes into lines it can lay out.
            QString viewed = texts(&history, {QStringLiteral("lblComments")}).first();
            QVERIFY(std::ranges::all_of(viewed.split(u'\n'), [](const QString& line) { return line.size() <= 1001; }));
            QVERIFY2(!value.contains(u' ') || !viewed.contains(QRegularExpression(u"\\w\n\\w"_s)), "a word was broken");
            QCOMPARE(viewed.remove(u'\n'), QString(value).remove(QStringLiteral("\r\n")).remove(u'\n'));

            for (const QString& choice : {QStringLiteral("Vehicle Number"), QStringLiteral("Location")})
                QCOMPARE(reportFor(choice, value), QList<QStringList>{QStringList(8, value)});
        }
        QVERIFY(messages.texts.isEmpty());
    }

    void valueLabelsShowAFirstLineThatFitsAndTheRestOnAsk_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("cut"); // shown ending in "…" after a beginning of the first line
        QTest::addColumn<QString>("tip"); // the tool tip's text, none where the value shows whole
        const QString emojiAtTheTipsEnd = QString(1999, u'x') + QString::fromUtf8("🚐 and more");
        QTest::newRow("fits") << u"Ford"_s << false << QString();
        QTest::newRow("a character too many") << QString() << true << QString();
        QTest::newRow("a second line") << u"Ford\nTransit"_s << true << u"Ford\nTransit"_s;
        QTest::newRow("a line separator") << u"Ford\u2028Transit"_s << true << u"Ford\u2028Transit"_s;
        QTest::newRow("an emoji where the tip ends") << emojiAtTheTipsEnd << true << QString(1999, u'x') + u"…"_s;
        QTest::newRow("a megabyte") << QString(1 << 20, u'y') << true << QString(2000, u'y') + u"…"_s;
    }

    // A value label on Repair History shows its value's first line as far as it fits, cut with
    // "…", never half a character; resting the pointer on a cut value shows the value.
    void valueLabelsShowAFirstLineThatFitsAndTheRestOnAsk()
    {
        QFETCH(QString, value);
        QFETCH(bool, cut);
        QFETCH(QString, tip);
        TestStore store;
        QWidget* history = openWindow(logInNew(store, false), QKeySequence(u"Ctrl+H"_s));
        auto* make = child<ValueLabel>(history, u"lblMake"_s);
        if (value.isEmpty()) { // the shortest value of its letter that the label cannot show whole
            value = u"W"_s;
            for (make->setText(value); make->shownText() == value; make->setText(value))
                value += u'W';
            tip = value;
        }
        data::Vehicle vehicle = sampleVehicle(u"1001"_s);
        vehicle.make = value;
        data::Database().append(vehicle);
        fill(history, {u"txtVehicleNumber"_s}, {u"1001"_s});
        press(history, Qt::Key_Return);
        const QString shown = make->shownText();
        QCOMPARE(shown.endsWith(u"…"_s), cut);
        QVERIFY(!cut || (value.startsWith(shown.chopped(1)) && !shown.contains(QRegularExpression(u"[\\n\\x{2028}]"_s))));
        QToolTip::hideText();
        QHelpEvent rest(QEvent::ToolTip, make->rect().center(), make->mapToGlobal(make->rect().center()));
        QApplication::sendEvent(make, &rest);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), tip.isEmpty() ? tip : u"<p>%1</p>"_s.arg(tip.toHtmlEscaped()));
    }

    void storedPasswordForms_data()
    {
        QTest::addColumn<QString>("stored"); // a null text stands for no value
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        const QString ours = data::hashPassword(QStringLiteral("right"));
        char argon2i[crypto_pwhash_STRBYTES];
        QVERIFY(crypto_pwhash_argon2i_str(argon2i, "right", 5, crypto_pwhash_argon2i_OPSLIMIT_INTERACTIVE,
                                          crypto_pwhash_argon2i_MEMLIMIT_INTERACTIVE) == 0);
        const QString other = QString::fromLatin1(argon2i);
        char greedy[crypto_pwhash_STRBYTES]; // one pass over 300 MiB: within the work, past the memory
        QVERIFY(crypto_pwhash_str(greedy, "right", 5, 1, 300 * 1024 * 1024) == 0);
        QTest::newRow("a hash past the memory ceiling, right") << QString::fromLatin1(greedy) << "right" << false;
        QTest::newRow("our hash, right") << ours << "right" << true;
        QTest::newRow("our hash, letter case") << ours << "Right" << false;
        QTest::newRow("our hash typed as it is") << ours << ours << false;
        QTest::newRow("argon2i, right") << other << "right" << true;
        QTest::newRow("argon2i typed as it is") << other << other << false;
        // Costs past the ceiling; 2^32-1 passes would hang the log-in if they reached the library.
        for (const char* cost : {"m=65536,t=4294967295,p=1", "m=4194304,t=1,p=1", "m=262144,t=4,p=1",
                                 "m=65536,t=2,p=4", "m=65536,t=99999999999,p=1", "m=65536,t=0,p=1"})
            QTest::addRow("cost %s", cost) << withCost(ours, cost) << withCost(ours, cost) << false;
        for (const char* form : {"$argon2d$v=19$m=65536,t=2,p=1$c2FsdHNhbHQ$aGFzaGhhc2g", "$argon2id$v=19$m=65536",
                                 "$argon2id$v=16$m=65536,t=2,p=1$c2FsdHNhbHQ$aGFzaGhhc2g", "$argon2",
                                 "$scrypt$ln=16,r=8,p=1$c2FsdA$aGFzaA", "$7$C6..../....SodiumChloride$kBGj9fHznVYFQMEn",
                                 "$2b$12$R9h/cIPz0gi.URNNX3kh2OPST9/PgBkqquzi.Ss7KIUgO2t0jWMUW", "$6$salt$hash"})
            QTest::addRow("%s typed as it is", form) << QString::fromLatin1(form) << QString::fromLatin1(form) << false;
        QTest::newRow("clear text with a dollar") << "$5 bill" << "$5 bill" << true;
        QTest::newRow("clear text, emoji") << QString::fromUtf8("Çlear 🚐") << QString::fromUtf8("Çlear 🚐") << true;
        QTest::newRow("clear text, a prefix") << QString::fromUtf8("Çlear 🚐") << QString::fromUtf8("Çlear") << false;
    }

    void storedPasswordForms()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        QCOMPARE(data::passwordMatches(stored.isNull() ? std::nullopt : std::optional(stored), typed), matches);
    }

    void setupTakesThePasswordOffTheCommandLine_data()
    {
        QTest::addColumn<QString>("command"); // the arguments, split at blanks
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("refusal"); // empty when the file is made
        QTest::addColumn<bool>("existing");   // whether a store stands at Vantorel.mdb already
        const QString manager = QStringLiteral("--manager-id 77");
        const QString fromInput = manager + QStringLiteral(" --password-stdin");
        const QStringList twice = {"pass word", "pass word"};
        QTest::newRow("standard input") << fromInput << QStringList{" pass word "} << false << "" << false;
        QTest::newRow("terminal") << manager << twice << true << "" << false;
        QTest::newRow("terminal, two passwords") << manager << QStringList{"pass word", "pass ward"} << true << "differ"
                                                 << false;
        QTest::newRow("terminal, letter case differing") << manager << QStringList{"pass word", "Pass Word"} << true
                                                         << "differ" << false;
        QTest::newRow("no terminal") << manager << twice << false << "--password-stdin" << false;
        QTest::newRow("empty password") << fromInput << QStringList{""} << false << "empty" << false;
        QTest::newRow("nothing on input") << fromInput << QStringList{} << false << "no password" << false;
        QTest::newRow("password option") << manager + " --manager-password x" << QStringList{} << false << "Usage:" << false;
        QTest::newRow("stray word") << "--demo yes" << QStringList{} << false << "Usage:" << false;
        QTest::newRow("unknown option") << "--demo --quiet" << QStringList{} << false << "Usage:" << false;
        QTest::newRow("password without manager") << "--demo --password-stdin" << twice << false << "Usage:" << false;
        QTest::newRow("a store there already") << "--demo" << QStringList{} << false << "exists already" << true;
        QTest::newRow("no manager") << "--force" << QStringList{} << false << "nobody could log in" << true;
        if (onServer()) {
            const QString password = QString::fromLatin1(kUriPassword);
            QTest::newRow("password in the URI") << "--demo --server postgresql://u:" + password + "@/db" << QStringList{}
                                                 << false << ".pgpass" << false;
            QTest::newRow("password in the URI's query") << "--demo --server postgresql:///db?password=" + password
                                                         << QStringList{} << false << "PGPASSFILE" << false;
        }
    }

    void setupTakesThePasswordOffTheCommandLine()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, lines);
        QStringList arguments = command.split(u' ');
        QFETCH(bool, terminal);
        QFETCH(QString, refusal);
        QFETCH(bool, existing);
        TestStore scratch(existing ? TestStore::Contents::Tables : TestStore::Contents::Nothing);
        // On the server the same, making the tables on an empty database and a link file to it.
        if (onServer() && !existing && !arguments.contains(QStringLiteral("--server")))
            arguments << QStringLiteral("--server") << QString::fromUtf8(scratch.serverUri());
        const ToolRun run = runSetup(scratch.folder(), arguments, lines, terminal);
        QVERIFY2(run.shown.contains(refusal.toUtf8()) && !run.shown.contains(kUriPassword), run.shown.constData());
        QCOMPARE(run.exitCode == 0, refusal.isEmpty());
        for (const QString& line : lines)
            QVERIFY2(line.isEmpty() || !run.shown.contains(line.toUtf8()), "the password was shown");
        const QStringList made = QDir(scratch.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        QCOMPARE(made, refusal.isEmpty() || existing ? QStringList{"Vantorel.mdb"} : QStringList{});
        if (existing)
            QCOMPARE(scratch.count(QStringLiteral("Person")), 0);
        if (refusal.isEmpty()) {
            const QString stored = scratch.rows(QStringLiteral("select Password from Person where IDNumber = '77'"))[0][0];
            QVERIFY(data::passwordMatches(stored, lines.first()));
        }
    }

    // Whatever another program stored in Manager, the log-in, the report's Manager column and the
    // "Manager?" criterion read it alike.
    void everyManagerValueReadsAlike_data()
    {
        QTest::addColumn<QString>("stored"); // as an SQL expression, so it keeps its kind
        QTest::addColumn<bool>("manager");
        const QList<std::pair<const char*, bool>> values = {
            {"'Yes'", true}, {"'TRUE'", true}, {"'-1'", true}, {"' yes '", true},
            {"char(9, 10) || 'True' || char(13, 11, 12)", true}, {"1", true}, {"-1", true}, {"1.0", true},
            {"-1.0", true}, {"x'596573'", true}, {"cast(x'2d310a' as blob)", true},
            {"0", false}, {"2", false}, {"0.5", false}, {"'No'", false}, {"'1.0'", false},
            {"'yes please'", false}, {"null", false}, {"x'ff00'", false}, {"'ye' || char(0) || 's'", false}};
        // The server's Manager field holds whole numbers or nothing.
        static const QRegularExpression number(QStringLiteral("^(-?[0-9]+|null)$"));
        for (const auto& [stored, manager] : values) {
            if (!onServer() || number.match(QLatin1String(stored)).hasMatch())
                QTest::newRow(stored) << QString::fromLatin1(stored) << manager;
        }
    }

    void everyManagerValueReadsAlike()
    {
        QFETCH(QString, stored);
        QFETCH(bool, manager);
        TestStore store;
        MessageWatcher messages;
        makeUntyped(store, QStringLiteral("Person"), QStringLiteral("IDNumber, LName, FName, Address, Telephone, Password, Manager"));
        store.rows(QStringLiteral("insert into Person values ('10000001', 'L', 'F', 'A', 'T', 'pw', %1)").arg(stored));

        QWidget* frame = logIn(QStringLiteral("10000001"), QStringLiteral("pw"));
        QVERIFY(frame);
        QCOMPARE(child<QAction>(frame, QStringLiteral("mnuManager"))->isVisible(), manager);

        QCOMPARE(reportFor(QStringLiteral("All Employees"), {}).value(0).value(5), manager ? "Yes" : "No");
        QCOMPARE(reportFor(QStringLiteral("Manager?"), QStringLiteral("Yes")).size(), manager ? 1 : 0);
        QCOMPARE(reportFor(QStringLiteral("Manager?"), QStringLiteral("No")).size(), manager ? 0 : 1);
        QCOMPARE(messages.texts, QStringList());
    }

    // A job whose fields another program stored as any kind of value is listed, found and shown.
    void jobsOfEveryKindAreFoundAgain_data()
    {
        QTest::addColumn<QString>("stored"); // Date and Comments, as an SQL expression
        QTest::addColumn<QString>("shown");
        QTest::newRow("text") << "'6/1/2024'" << "6/1/2024";
        QTest::newRow("no value") << "null" << "";
        if (onServer())
            return; // the server's fields hold text or nothing
        QTest::newRow("blob") << "x'362f312f32303234'" << "6/1/2024";
        QTest::newRow("invalid UTF-8") << "cast(x'36ff2f31' as text)" << QString::fromUtf8("6\uFFFD/1");
        QTest::newRow("whole number") << "20240601" << "20240601";
        QTest::newRow("real number") << "2024.5" << "2024.5";
        QTest::newRow("empty blob") << "x''" << "";
    }

    void jobsOfEveryKindAreFoundAgain()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        TestStore store;
        store.addVehicle(QStringLiteral("1001"));
        makeUntyped(store, QStringLiteral("Servicing"), QStringLiteral("VNumber, IDNumber, Location, \"Date\", StartTime, StopTime, Comments"));
        store.rows(QStringLiteral("insert into Servicing values ('1001', 'M1', 'Bay', %1, 'a', 'b', %1)").arg(stored));
        MessageWatcher messages;
        QWidget* history = openWindow(logInNew(store, false), QKeySequence(QStringLiteral("Ctrl+H")));
        showHistory(history, QStringLiteral("1001"));
        QCOMPARE(listedDates(history), QStringList{shown});
        selectDate(history, 0);
        QCOMPARE(texts(history, {"lblMaintenanceDate", "lblMechanic", "lblComments"}),
                 QStringList({shown, "M1", shown}));
        QCOMPARE(messages.texts, QStringList());
    }
};

QTEST_MAIN(TestInput)
#include "test_input.moc"
