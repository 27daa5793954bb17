#include "sample_data.h"

#include <QDate>
#include <QVariant>
#include <array>

#include "case_statements.h"
#include "case_store.h"
#include "date_text.h"
#include "error_trap.h"
#include "record_set.h"

namespace {

// One table's part of the run: its count query, its two sample inserts, and the First and Last
// queries whose values the cases link to, with the value kept when they give none.
struct SampleTable {
    const char* count;
    std::array<const char*, 2> inserts;
    const char* first;
    const char* last;
    const char* startValue;
    bool numeric;
};

const std::array<SampleTable, 6> kTables{{
    {"SELECT Count(Employees.ID) AS [CountID] From Employees",
     {"insert into Employees ([First Name],[Last Name],[E-mail Address],Company,[Job Title]) "
      "values ('John','Wilson','john.wilson@example.com','ACME','Manager')",
      "insert into Employees ([First Name],[Last Name],[E-mail Address],Company,[Job Title]) "
      "values ('Daniel','Carter','daniel.carter@example.com','ACME','HR')"},
     "SELECT First(Employees.ID) AS [MaxID] FROM Employees",
     "SELECT Last(Employees.ID) AS [MaxID] FROM Employees",
     "1",
     true},
    {"SELECT Count(Customers.ID) AS [CountID] From Customers",
     {"insert into Customers ([First Name],[Last Name],[E-mail Address],Company,[Job Title]) "
      "values ('Hanna','Simmons','hanna.simmons@example.com','Simmons Supplies','CEO')",
      "insert into Customers ([First Name],[Last Name],[E-mail Address],Company,[Job Title]) "
      "values ('Neil','Burgess','neil.burgess@example.com','WestEast Cost Cars','Senior "
      "manager')"},
     "SELECT First(Customers.ID) AS [MaxID] FROM Customers",
     "SELECT Last(Customers.ID) AS [MaxID] FROM Customers",
     "1",
     true},
    {"SELECT Count(Status.Status) AS [CountID] From Status",
     {"insert into [Status] values ('In process')", "insert into [Status] values ('Cancelled')"},
     "SELECT First(Status.Status) AS [MaxID] FROM Status",
     "SELECT Last(Status.Status) AS [MaxID] FROM Status",
     " ",
     false},
    {"SELECT Count(Categories.Category) AS [CountID] From Categories",
     {"insert into [Categories] values ('New Category')",
      "insert into [Categories] values ('Main Category')"},
     "SELECT First(Categories.Category) AS [MaxID] FROM Categories",
     "SELECT Last(Categories.Category) AS [MaxID] FROM Categories",
     " ",
     false},
    {"SELECT Count(Priorities.Priority) AS [CountID] From Priorities",
     {"insert into [Priorities] values ('High')", "insert into [Priorities] values ('Low')"},
     "SELECT First(Priorities.Priority) AS [MaxID] FROM Priorities",
     "SELECT Last(Priorities.Priority) AS [MaxID] FROM Priorities",
     " ",
     false},
    {"SELECT Count(KnowledgeBase.KB) AS [CountID] From KnowledgeBase",
     {"insert into [KnowledgeBase] values ('Corporate knowledge base')",
      "insert into [KnowledgeBase] values ('Department knowledge base')"},
     "SELECT First(KnowledgeBase.KB) AS [MaxID] FROM KnowledgeBase",
     "SELECT Last(KnowledgeBase.KB) AS [MaxID] FROM KnowledgeBase",
     " ",
     false},
}};

enum Table { Employees, Customers, Statuses, Categories, Priorities, KnowledgeBases };

// A 32-bit whole number read from a field; NULL or anything else is a failure.
qint32 wholeNumber(const QVariant& value) {
    if (value.isNull()) {
        throw Failure(QStringLiteral("Invalid use of Null"));
    }
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min() ||
        number > std::numeric_limits<qint32>::max()) {
        throw Failure(
            QStringLiteral("Type mismatch: '%1' is not a whole number.").arg(value.toString()));
    }
    return static_cast<qint32>(number);
}

QString textValue(const QVariant& value) {
    if (value.isNull()) {
        throw Failure(QStringLiteral("Invalid use of Null"));
    }
    return displayText(value);
}

struct Kept {
    QString first;
    QString last;
};

QString today() {
    return DateText::toText(QDate::currentDate());
}

}  // namespace

namespace SampleData {

void load(ErrorTrap& trap) {
    RecordSet rows;
    trap.at(100, [&] { rows = RecordSet(); });
    const auto open = [&rows](const char* select) {
        rows.open(QString::fromLatin1(select), CaseStore::shared());
    };
    std::array<Kept, kTables.size()> kept;
    int line = 102;
    const auto next = [&line] {
        const int current = line;
        line += 2;
        return current;
    };
    for (size_t table = 0; table < kTables.size(); ++table) {
        const SampleTable& sample = kTables[table];
        const QString field = QStringLiteral("MaxID");
        // The row counter counts insert attempts: a failed insert still counts.
        qint32 rowCounter = 0;
        trap.at(next(), [&] { rowCounter = 0; });
        trap.at(next(), [&] { open(sample.count); });
        if (trap.test(next(), [&] { return !rows.eof(); })) {
            trap.at(next(),
                    [&] { rowCounter = wholeNumber(rows.value(QStringLiteral("CountID"))); });
        } else {
            next();
        }
        trap.at(next(), [&] { rows.close(); });
        for (const char* insert : sample.inserts) {
            if (trap.test(next(), [&] { return rowCounter < 2; })) {
                trap.at(next(), [&] { CaseStore::shared().execute(QString::fromLatin1(insert)); });
                trap.at(next(), [&] { rowCounter += 1; });
            } else {
                next();
                next();
            }
        }
        Kept& value = kept[table];
        trap.at(next(), [&] { value.last = QString::fromLatin1(sample.startValue); });
        trap.at(next(), [&] { value.first = QString::fromLatin1(sample.startValue); });
        for (QString* target : {&value.first, &value.last}) {
            trap.at(next(), [&] { open(target == &value.first ? sample.first : sample.last); });
            if (trap.test(next(), [&] { return !rows.eof(); })) {
                trap.at(next(), [&] {
                    *target = sample.numeric ? QString::number(wholeNumber(rows.value(field)))
                                             : textValue(rows.value(field));
                });
            } else {
                next();
            }
            trap.at(next(), [&] { rows.close(); });
        }
    }
    // The three cases: the first and last rows of each table as the table says.
    const auto sampleCase = [&](const char* title, bool lastAssigned, bool lastOpener,
                                bool lastStatus, bool lastCategory, bool lastPriority,
                                const char* comments, bool lastKb, bool lastCustomer) {
        const auto pick = [](const Kept& value, bool useLast) {
            return useLast ? value.last : value.first;
        };
        CaseRecord record;
        record.title = QString::fromLatin1(title);
        record.assignedTo = pick(kept[Employees], lastAssigned);
        record.openedBy = pick(kept[Employees], lastOpener);
        record.openedDate = today();
        record.status = pick(kept[Statuses], lastStatus);
        record.category = pick(kept[Categories], lastCategory);
        record.priority = pick(kept[Priorities], lastPriority);
        record.comments = QString::fromLatin1(comments);
        record.dueDate = today();
        record.knowledgeBase = pick(kept[KnowledgeBases], lastKb);
        record.resolvedDate = QStringLiteral("NULL");
        record.customer = pick(kept[Customers], lastCustomer);
        record.callTime = today();
        CaseStore::shared().execute(CaseStatements::insert(record));
    };
    trap.at(next(), [&] {
        sampleCase("Offer a discount to next purchase", true, true, true, true, true,
                   "Notify John about the reason of discount", true, true);
    });
    trap.at(next(), [&] {
        sampleCase("Make a phone call to customer", false, false, false, false, false,
                   "Write any comments here", false, false);
    });
    trap.at(next(), [&] {
        sampleCase("Find out why delivery is delayed", true, false, false, true, false,
                   "Need to solve this case ASAP", true, true);
    });
}

}  // namespace SampleData
