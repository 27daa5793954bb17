// Dates as users type and read them, and as the database file keeps them, in the United States
// and the German locale.

#include <QtTest>
#include <optional>

#include "case_store.h"
#include "date_text.h"
#include "failure.h"
#include "record_set.h"
#include "test_environment.h"

namespace {

const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);
const QLocale kGermany(QLocale::German, QLocale::Germany);

QDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

QString withNul(const QString& before, const QString& after) {
    return before + QChar(0) + after;
}

}  // namespace

class DateTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(kUnitedStates); }

    // The year is always widened to four digits; everything else of the pattern stays.
    void shortDateFormat_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("en_US") << kUnitedStates << "M/d/yyyy";
        QTest::newRow("de_DE") << kGermany << "dd.MM.yyyy";
        QTest::newRow("en_GB already four")
            << QLocale(QLocale::English, QLocale::UnitedKingdom) << "dd/MM/yyyy";
        QTest::newRow("ko_KR") << QLocale(QLocale::Korean, QLocale::SouthKorea) << "yyyy. M. d.";
        QTest::newRow("bg_BG quoted literal") << QLocale(QLocale::Bulgarian, QLocale::Bulgaria)
                                              << QString::fromUtf8("d.MM.yyyy 'г'.");
    }
    void shortDateFormat() {
        QFETCH(QLocale, locale);
        QFETCH(QString, format);
        QCOMPARE(DateText::shortDateFormat(locale), format);
    }

    // What a user may type, and the date and time it means. Every accepted text also reads
    // back as the same value from the text the program shows for it.
    void parseAccepts_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("value");
        const QLocale us = kUnitedStates;
        QTest::newRow("short") << us << "12/7/2026" << at(2026, 12, 7);
        QTest::newRow("short, zeros") << us << "02/03/2026" << at(2026, 2, 3);
        QTest::newRow("blanks around") << us << "  12/7/2026 " << at(2026, 12, 7);
        QTest::newRow("two-digit 26") << us << "12/7/26" << at(2026, 12, 7);
        QTest::newRow("two-digit 95") << us << "12/7/95" << at(1995, 12, 7);
        QTest::newRow("two-digit 29") << us << "1/1/29" << at(2029, 1, 1);
        QTest::newRow("two-digit 30") << us << "1/1/30" << at(1930, 1, 1);
        QTest::newRow("two-digit 00") << us << "1/1/00" << at(2000, 1, 1);
        QTest::newRow("leap day") << us << "2/29/2028" << at(2028, 2, 29);
        QTest::newRow("first year") << us << "1/1/0100" << at(100, 1, 1);
        QTest::newRow("last year") << us << "12/31/9999" << at(9999, 12, 31);
        QTest::newRow("ISO") << us << "2026-12-07" << at(2026, 12, 7);
        QTest::newRow("ISO with time")
            << us << "2026-12-07 15:15:30" << at(2026, 12, 7, 15, 15, 30);
        QTest::newRow("ISO with T") << us << "2026-12-07T08:05:00" << at(2026, 12, 7, 8, 5);
        QTest::newRow("year first, slashes") << us << "2026/12/07" << at(2026, 12, 7);
        QTest::newRow("long") << us << "December 7, 2026" << at(2026, 12, 7);
        QTest::newRow("long, weekday") << us << "Monday, December 7, 2026" << at(2026, 12, 7);
        QTest::newRow("short month") << us << "Dec 7, 2026" << at(2026, 12, 7);
        QTest::newRow("day first, named") << us << "7 December 2026" << at(2026, 12, 7);
        QTest::newRow("long with time")
            << us << "December 7, 2026 3:15 PM" << at(2026, 12, 7, 15, 15);
        QTest::newRow("PM") << us << "12/7/2026 3:15 PM" << at(2026, 12, 7, 15, 15);
        QTest::newRow("pm, seconds") << us << "12/7/2026 3:15:30 pm" << at(2026, 12, 7, 15, 15, 30);
        QTest::newRow("AM without blank") << us << "12/7/2026 9:05AM" << at(2026, 12, 7, 9, 5);
        QTest::newRow("12 AM is midnight") << us << "12/7/2026 12:00 AM" << at(2026, 12, 7);
        QTest::newRow("12 PM is noon") << us << "12/7/2026 12:30 PM" << at(2026, 12, 7, 12, 30);
        QTest::newRow("24-hour") << us << "12/7/2026 23:59:59" << at(2026, 12, 7, 23, 59, 59);

        const QLocale de = kGermany;
        QTest::newRow("de short") << de << "07.12.2026" << at(2026, 12, 7);
        QTest::newRow("de two-digit") << de << "7.12.26" << at(2026, 12, 7);
        QTest::newRow("de with time") << de << "07.12.2026 15:15" << at(2026, 12, 7, 15, 15);
        QTest::newRow("de ISO") << de << "2026-12-07" << at(2026, 12, 7);
        QTest::newRow("de long") << de << "Montag, 7. Dezember 2026" << at(2026, 12, 7);
        QTest::newRow("de named") << de << "7 Dezember 2026" << at(2026, 12, 7);
        QTest::newRow("de English long") << de << "December 7, 2026" << at(2026, 12, 7);
        QTest::newRow("de day before month") << de << "12.07.2026" << at(2026, 7, 12);
    }
    void parseAccepts() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QFETCH(QDateTime, value);
        const std::optional<QDateTime> parsed = DateText::parse(text, locale);
        QVERIFY(parsed.has_value());
        QCOMPARE(*parsed, value);
        const QString shown = DateText::toText(*parsed, locale);
        const std::optional<QDateTime> again = DateText::parse(shown, locale);
        QVERIFY2(again.has_value(), qPrintable(shown));
        QCOMPARE(*again, value);
    }

    void parseRefuses_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        const QLocale us = kUnitedStates;
        QTest::newRow("empty") << us << "";
        QTest::newRow("blanks") << us << "   ";
        QTest::newRow("word") << us << "abc";
        QTest::newRow("tomorrow") << us << "tomorrow";
        QTest::newRow("February 30") << us << "2/30/2026";
        QTest::newRow("not a leap year") << us << "2/29/2026";
        QTest::newRow("month 13") << us << "13/45/2026";
        QTest::newRow("month 0") << us << "0/7/2026";
        QTest::newRow("hour 25") << us << "12/7/2026 25:00";
        QTest::newRow("minute 60") << us << "12/7/2026 3:60 PM";
        QTest::newRow("13 PM") << us << "12/7/2026 13:15 PM";
        QTest::newRow("unknown marker") << us << "12/7/2026 3:15 XM";
        QTest::newRow("five-digit year") << us << "12/7/20266";
        QTest::newRow("three-digit year") << us << "12/7/202";
        QTest::newRow("year before 100") << us << "1/1/0099";
        QTest::newRow("no year") << us << "12/7";
        QTest::newRow("mixed separators") << us << "12/7.2026";
        QTest::newRow("ISO month 13") << us << "2026-13-01";
        QTest::newRow("trailing word") << us << "12/7/2026 soon";
        QTest::newRow("NUL inside")
            << us << withNul(QStringLiteral("12/7"), QStringLiteral("/2026"));
        QTest::newRow("NUL at end") << us << withNul(QStringLiteral("12/7/2026"), QString());
        QTest::newRow("de month 31") << kGermany << "12/31/2026";
        QTest::newRow("de word") << kGermany << "morgen";
    }
    void parseRefuses() {
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QVERIFY(!DateText::parse(text, locale).has_value());
    }

    // The short date with a four-digit year, then the time with seconds when not midnight.
    void toText_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("midnight") << kUnitedStates << at(2026, 12, 7) << "12/7/2026";
        QTest::newRow("afternoon")
            << kUnitedStates << at(2026, 12, 7, 15, 15) << "12/7/2026 15:15:00";
        QTest::newRow("one second past")
            << kUnitedStates << at(2026, 12, 7, 0, 0, 1) << "12/7/2026 00:00:01";
        QTest::newRow("1995") << kUnitedStates << at(1995, 1, 5) << "1/5/1995";
        QTest::newRow("year 100") << kUnitedStates << at(100, 1, 1) << "1/1/0100";
        QTest::newRow("de midnight") << kGermany << at(2026, 12, 7) << "07.12.2026";
        QTest::newRow("de afternoon")
            << kGermany << at(2026, 12, 7, 15, 15) << "07.12.2026 15:15:00";
        QTest::newRow("de 1995") << kGermany << at(1995, 1, 5) << "05.01.1995";
    }
    void toText() {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, value);
        QFETCH(QString, text);
        QCOMPARE(DateText::toText(value, locale), text);
        QCOMPARE(DateFormatter(locale).format(value), text);
        if (value.time() == QTime(0, 0)) {
            QCOMPARE(DateText::toText(value.date(), locale), text);
        }
    }

    // The formatter takes the pattern apart once; it writes what the locale itself would.
    void formatterAgreesWithLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("en_US") << kUnitedStates;
        QTest::newRow("de_DE") << kGermany;
        QTest::newRow("ja_JP") << QLocale(QLocale::Japanese, QLocale::Japan);
        QTest::newRow("ko_KR") << QLocale(QLocale::Korean, QLocale::SouthKorea);
        QTest::newRow("hu_HU") << QLocale(QLocale::Hungarian, QLocale::Hungary);
        QTest::newRow("pl_PL") << QLocale(QLocale::Polish, QLocale::Poland);
        QTest::newRow("bg_BG") << QLocale(QLocale::Bulgarian, QLocale::Bulgaria);
    }
    void formatterAgreesWithLocale() {
        QFETCH(QLocale, locale);
        const DateFormatter formatter(locale);
        const QString format = DateText::shortDateFormat(locale);
        for (const QDate date : {QDate(2026, 12, 7), QDate(1995, 1, 5), QDate(2000, 2, 29),
                                 QDate(100, 1, 1), QDate(9999, 12, 31)}) {
            QCOMPARE(formatter.format(date), locale.toString(date, format));
        }
    }

    // Whatever the user's locale, the texts the program writes into statements read back as
    // the same date and time (otherwise a save would be refused as "not a date").
    void ownTextsReadBackInEveryLocale_data() {
        QTest::addColumn<QLocale>("locale");
        for (const QLocale& locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            if (locale.zeroDigit() == QLatin1Char('0')) {
                QTest::newRow(qPrintable(locale.name())) << locale;
            }
        }
    }
    void ownTextsReadBackInEveryLocale() {
        QFETCH(QLocale, locale);
        for (const QDateTime& value : {QDateTime(QDate(2026, 12, 7), QTime(0, 0)),
                                       QDateTime(QDate(1999, 2, 28), QTime(0, 0)),
                                       QDateTime(QDate(2026, 1, 31), QTime(15, 4, 5))}) {
            const QString text = DateText::toText(value, locale);
            const auto parsed = DateText::parse(text, locale);
            QVERIFY2(parsed.has_value(), qPrintable(text));
            QCOMPARE(*parsed, value);
        }
    }

    void storageForm_data() {
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("stored");
        QTest::newRow("date") << at(2026, 12, 7) << "2026-12-07";
        QTest::newRow("date and time") << at(2026, 12, 7, 15, 5, 9) << "2026-12-07 15:05:09";
        QTest::newRow("year 100") << at(100, 1, 1) << "0100-01-01";
        QTest::newRow("last second") << at(9999, 12, 31, 23, 59, 59) << "9999-12-31 23:59:59";
    }
    void storageForm() {
        QFETCH(QDateTime, value);
        QFETCH(QString, stored);
        QCOMPARE(DateText::toStorage(value), stored);
        const QByteArray bytes = stored.toLatin1();
        const auto read = DateText::fromStorage(std::string_view(bytes.constData(), bytes.size()));
        QVERIFY(read.has_value());
        QCOMPARE(*read, value);
    }

    void fromStorageRefuses_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short form") << QByteArray("12/7/2026");
        QTest::newRow("one-digit day") << QByteArray("2026-12-7");
        QTest::newRow("February 30") << QByteArray("2026-02-30");
        QTest::newRow("one-digit hour") << QByteArray("2026-12-07 1:00:00");
        QTest::newRow("hour 24") << QByteArray("2026-12-07 24:00:00");
        QTest::newRow("no seconds") << QByteArray("2026-12-07 15:15");
        QTest::newRow("trailing text") << QByteArray("2026-12-07x");
        QTest::newRow("slashes") << QByteArray("2026/12/07");
    }
    void fromStorageRefuses() {
        QFETCH(QByteArray, stored);
        QVERIFY(!DateText::fromStorage(std::string_view(stored.constData(), stored.size())));
    }

    // A date typed in the user's locale reaches the file in ISO form and reads back in the short
    // form of whichever locale reads it.
    void storedThroughTheDatabase_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("shownInUs");
        const QLocale us = kUnitedStates;
        QTest::newRow("short") << us << "12/7/2026"
                               << "2026-12-07"
                               << "12/7/2026"
                               << "12/7/2026";
        QTest::newRow("two-digit") << us << "12/7/95"
                                   << "1995-12-07"
                                   << "12/7/1995"
                                   << "12/7/1995";
        QTest::newRow("ISO") << us << "2026-12-07"
                             << "2026-12-07"
                             << "12/7/2026"
                             << "12/7/2026";
        QTest::newRow("long") << us << "December 7, 2026"
                              << "2026-12-07"
                              << "12/7/2026"
                              << "12/7/2026";
        QTest::newRow("time") << us << "12/7/2026 3:15 PM"
                              << "2026-12-07 15:15:00"
                              << "12/7/2026 15:15:00"
                              << "12/7/2026 15:15:00";
        QTest::newRow("midnight") << us << "12/7/2026 12:00 AM"
                                  << "2026-12-07"
                                  << "12/7/2026"
                                  << "12/7/2026";
        QTest::newRow("de short") << kGermany << "07.12.2026"
                                  << "2026-12-07"
                                  << "07.12.2026"
                                  << "12/7/2026";
        QTest::newRow("de time") << kGermany << "7.12.26 15:15"
                                 << "2026-12-07 15:15:00"
                                 << "07.12.2026 15:15:00"
                                 << "12/7/2026 15:15:00";
    }
    void storedThroughTheDatabase() {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(QString, raw);
        QFETCH(QString, shown);
        QFETCH(QString, shownInUs);
        TestEnvironment env;
        env.openDatabase();
        QLocale::setDefault(locale);
        CaseStore& store = CaseStore::shared();
        QCOMPARE(store.execute(QStringLiteral("insert into Cases (Title,[Opened Date]) values "
                                              "('T','%1')")
                                   .arg(typed)),
                 1);
        QCOMPARE(
            store.execute(QStringLiteral("update Cases set [Due Date]='%1' where ID=1").arg(typed)),
            1);
        {
            RecordSet rows = store.query(
                QStringLiteral("select typeof([Opened Date]) as kind, [Opened Date] || '' as raw, "
                               "[Due Date] || '' as due, [Opened Date] from Cases"));
            QCOMPARE(rows.text(QStringLiteral("kind")), QStringLiteral("text"));
            QCOMPARE(rows.text(QStringLiteral("raw")), raw);
            QCOMPARE(rows.text(QStringLiteral("due")), raw);
            QCOMPARE(rows.text(QStringLiteral("Opened Date")), shown);
            QCOMPARE(rows.value(QStringLiteral("Opened Date")).toDateTime(),
                     DateText::parse(typed, locale).value());
        }
        QLocale::setDefault(kUnitedStates);
        QCOMPARE(scalar(QStringLiteral("select [Opened Date] from [Open Cases]")), shownInUs);
    }

    // A text that is not a date fails the statement, names the text, and writes nothing.
    void refusedThroughTheDatabase_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::newRow("word") << kUnitedStates << "tomorrow";
        QTest::newRow("month 13") << kUnitedStates << "13/45/2026";
        QTest::newRow("empty") << kUnitedStates << "";
        QTest::newRow("de, US order") << kGermany << "12/31/2026";
    }
    void refusedThroughTheDatabase() {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        TestEnvironment env;
        env.openDatabase();
        QLocale::setDefault(locale);
        CaseStore& store = CaseStore::shared();
        const QString insert =
            QStringLiteral("insert into Cases (Title,[Due Date]) values ('T','%1')").arg(typed);
        try {
            store.execute(insert);
            QFAIL("the statement was accepted");
        } catch (const Failure& failure) {
            QVERIFY2(failure.description().contains(QLatin1Char('\'') + typed + QLatin1Char('\'')),
                     qPrintable(failure.description()));
        }
        QCOMPARE(scalar(QStringLiteral("select count(*) from Cases")), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(DateTextTest)
#include "test_date_text.moc"
