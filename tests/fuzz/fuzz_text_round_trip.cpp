// Fuzz target: any text the user could type goes through the program's own statement texts
// (a case's title and comments, a person's sixteen fields, a lookup value) and reads back
// unchanged, and no text changes any other row or table. A text with a NUL character is refused
// and nothing is written. Every input runs inside a transaction that is rolled back.
//   fuzz_text_round_trip [-max_total_time=SECONDS] [CORPUS]

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "case_statements.h"
#include "case_store.h"
#include "contact_statements.h"
#include "date_text.h"
#include "failure.h"
#include "record_set.h"
#include "sql_text.h"

namespace {

QTemporaryDir* folder = nullptr;

[[noreturn]] void fail(const char* what, const QString& text) {
    std::fprintf(stderr, "round trip failed: %s (text of %lld characters)\n", what,
                 static_cast<long long>(text.size()));
    std::abort();
}

QString one(const QString& select) {
    RecordSet rows = CaseStore::shared().query(select);
    return rows.eof() ? QStringLiteral("<none>") : rows.text(0);
}

// Every row of every table but the ones the input writes, as one text.
QString everythingElse() {
    return one(QStringLiteral(
        "select (select count(*) || ':' || ifnull(group_concat(Title || '|' || Comments), '') "
        "from Cases where ID = 1) || '/' || (select count(*) from Cases) || '/' || "
        "(select group_concat([First Name] || [Notes]) from Customers) || '/' || "
        "(select count(*) from Employees) || '/' || (select group_concat(Category) from "
        "Categories) || '/' || (select count(*) from Status)"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    folder = new QTemporaryDir();
    const QString database = folder->filePath(QStringLiteral("dbData.mdb"));
    if (!QFile::copy(QStringLiteral(HELVARINE_PROGRAM_DIR "/dbBlank.mdb"), database) ||
        !QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        std::fprintf(stderr, "cannot copy the template\n");
        std::abort();
    }
    CaseStore::createShared();
    CaseStore& store = CaseStore::shared();
    store.openFile(database);
    store.execute(QStringLiteral("insert into Customers ([First Name],Notes) values ('Kept','x')"));
    store.execute(QStringLiteral("insert into [Categories] values ('Kept')"));
    store.execute(QStringLiteral(
        "insert into Cases (Title,Comments,[Opened Date]) values ('Kept','kept','2026-12-07')"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CaseStore& store = CaseStore::shared();
    const QString before = everythingElse();
    store.execute(QStringLiteral("BEGIN"));

    CaseRecord record;
    record.title = text;
    record.comments = text;
    record.status = text;
    record.assignedTo = record.openedBy = record.customer = QStringLiteral("1");
    record.openedDate = record.dueDate = record.callTime = DateText::toText(QDate(2026, 12, 7));
    record.resolvedDate = QStringLiteral("NULL");
    ContactRecord person;
    for (QString* field :
         {&person.firstName, &person.lastName, &person.jobTitle, &person.company,
          &person.businessPhone, &person.homePhone, &person.mobilePhone, &person.faxNumber,
          &person.address, &person.city, &person.state, &person.zip, &person.country, &person.email,
          &person.webPage, &person.notes}) {
        *field = text;
    }
    const QStringList statements{
        CaseStatements::insert(record),
        ContactStatements::insert(QStringLiteral("Employees"), person),
        QStringLiteral("insert into [Status] values ('") + SqlText::doubledQuotes(text) +
            QStringLiteral("')"),
    };
    if (text.contains(QChar(0))) {
        for (const QString& statement : statements) {
            try {
                store.execute(statement);
                fail("a statement with a NUL character was run", text);
            } catch (const Failure& refused) {
                if (!refused.description().contains(QStringLiteral("NUL"))) {
                    fail("a NUL character was refused without saying so", text);
                }
            }
        }
        if (one(QStringLiteral("select count(*) from Cases")) != QStringLiteral("1") ||
            one(QStringLiteral("select count(*) from Employees")) != QStringLiteral("0")) {
            fail("a refused statement wrote something", text);
        }
    } else {
        for (const QString& statement : statements) {
            store.execute(statement);
        }
        if (one(QStringLiteral("select Title from Cases order by ID desc limit 1")) != text ||
            one(QStringLiteral("select Comments from Cases order by ID desc limit 1")) != text ||
            one(QStringLiteral("select Status from Cases order by ID desc limit 1")) != text) {
            fail("a case's text came back changed", text);
        }
        for (const char* column : {"[First Name]", "[Web Page]", "Notes", "[E-mail Address]"}) {
            if (one(QStringLiteral("select ") + QLatin1String(column) +
                    QStringLiteral(" from Employees order by ID desc limit 1")) != text) {
                fail("a person's field came back changed", text);
            }
        }
        if (one(QStringLiteral("select Status from Status order by rowid desc limit 1")) != text) {
            fail("a lookup value came back changed", text);
        }
        if (one(QStringLiteral("select count(*) from Cases")) != QStringLiteral("2")) {
            fail("the case insert wrote more or fewer rows", text);
        }
    }
    store.execute(QStringLiteral("ROLLBACK"));
    if (everythingElse() != before) {
        fail("another row or table changed", text);
    }
    return 0;
}
