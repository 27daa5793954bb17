#include "sample_data.h"

#include <QDate>
#include <QVariant>
#include <array>

#include "case_statements.h"
#include "case_store.h"
#include "date_text.h"
#include "error_trap.h"
#include "record_set.h"
#include "sample_statements.h"

namespace {

// What the run keeps of each table beside its statements (SampleStatements): the value the
// cases link to when First and Last give none, and whether that value is a number.
struct SampleKeeping {
    const char* startValue;
    bool numeric;
};

const std::array<SampleKeeping, 6> kKeeping{{
    {"1", true},
    {"1", true},
    {" ", false},
    {" ", false},
    {" ", false},
    {" ", false},
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
    const auto open = [&rows](const QString& select) { rows.open(select, CaseStore::shared()); };
    std::array<Kept, kKeeping.size()> kept;
    int line = 102;
    const auto next = [&line] {
        const int current = line;
        line += 2;
        return current;
    };
    for (size_t table = 0; table < kKeeping.size(); ++table) {
        const SampleTableStatements& sample = SampleStatements::tables()[table];
        const SampleKeeping& keeping = kKeeping[table];
        const QString field = QStringLiteral("MaxID");
        // The row counter counts insert attempts: a failed insert still counts.
        qint32 rowCounter = 0;
        trap.at(next(), [&] { rowCounter = 0; });
        trap.at(next(), [&] { open(sample.count); });
        if (trap.trueOrFailed(next(), [&] { return !rows.eof(); })) {
            trap.at(next(),
                    [&] { rowCounter = wholeNumber(rows.value(QStringLiteral("CountID"))); });
        } else {
            next();
        }
        trap.at(next(), [&] { rows.close(); });
        for (const QString& insert : sample.inserts) {
            if (trap.trueOrFailed(next(), [&] { return rowCounter < 2; })) {
                trap.at(next(), [&] { CaseStore::shared().execute(insert); });
                trap.at(next(), [&] { rowCounter += 1; });
            } else {
                next();
                next();
            }
        }
        Kept& value = kept[table];
        trap.at(next(), [&] { value.last = QString::fromLatin1(keeping.startValue); });
        trap.at(next(), [&] { value.first = QString::fromLatin1(keeping.startValue); });
        for (QString* target : {&value.first, &value.last}) {
            trap.at(next(), [&] { open(target == &value.first ? sample.first : sample.last); });
            if (trap.trueOrFailed(next(), [&] { return !rows.eof(); })) {
                trap.at(next(), [&] {
                    *target = keeping.numeric ? QString::number(wholeNumber(rows.value(field)))
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
