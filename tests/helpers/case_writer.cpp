// Writes cases into a database file until it is killed, with the case editor's own statements:
// for N = FIRST, FIRST + 1, …: insert the case "Case N", print "inserted N ID"; update its title
// to "Updated N", print "updated N ID". A line is printed only once its statement has been
// committed, so every printed line is a write the database confirmed.
//   case_writer DATABASE [FIRST]
// Needs no application object: the database code links QtCore only.

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QLocale>
#include <cstdio>

#include "case_statements.h"
#include "case_store.h"
#include "date_text.h"
#include "failure.h"
#include "record_set.h"

namespace {

QString firstValue(const char* select) {
    RecordSet rows = CaseStore::shared().query(QString::fromLatin1(select));
    if (rows.eof()) {
        throw Failure(QStringLiteral("no row: ") + QString::fromLatin1(select));
    }
    const QString value = rows.text(0);
    if (value.isEmpty()) {
        throw Failure(QStringLiteral("no value: ") + QString::fromLatin1(select));
    }
    return value;
}

void confirm(const char* what, qlonglong number, const QString& id) {
    std::printf("%s %lld %s\n", what, number, id.toLatin1().constData());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: case_writer DATABASE [FIRST]\n");
        return 2;
    }
    const QString path = QFile::decodeName(argv[1]);
    const qlonglong first = argc == 3 ? QByteArray(argv[2]).toLongLong() : 1;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    try {
        CaseStore::createShared();
        CaseStore& store = CaseStore::shared();
        store.openFile(path);
        CaseRecord record;
        record.assignedTo = firstValue("select min(ID) from Employees");
        record.openedBy = firstValue("select max(ID) from Employees");
        record.customer = firstValue("select min(ID) from Customers");
        record.status = firstValue("select min(Status) from Status");
        record.category = firstValue("select min(Category) from Categories");
        record.priority = firstValue("select min(Priority) from Priorities");
        record.knowledgeBase = firstValue("select min(KB) from KnowledgeBase");
        record.openedDate = DateText::toText(QDate::currentDate());
        record.dueDate = record.openedDate;
        record.callTime = record.openedDate;
        record.resolvedDate = QStringLiteral("NULL");
        record.comments = QStringLiteral("Written by case_writer\nuntil it is killed");
        for (qlonglong number = first;; ++number) {
            record.title = QStringLiteral("Case %1").arg(number);
            store.execute(CaseStatements::insert(record));
            const QString id = firstValue("select last_insert_rowid()");
            confirm("inserted", number, id);
            record.title = QStringLiteral("Updated %1").arg(number);
            if (store.execute(CaseStatements::update(record, id)) != 1) {
                throw Failure(QStringLiteral("the update of case %1 changed no row").arg(id));
            }
            confirm("updated", number, id);
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "case_writer: %s\n", failure.description().toUtf8().constData());
        return 1;
    }
}
