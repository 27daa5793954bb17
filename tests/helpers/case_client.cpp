// One of several people working on the same cases at once, until it is killed: it inserts a case,
// then updates one of the shared cases the way the case editor saves, and so on. An update reads
// the row, waits a moment (someone else may save meanwhile), and saves through the editor's own
// step: in one transaction the row is read again, locked, and written only when it is as read.
// Each write appends its token to the case's comments, so that the comments hold the case's
// whole history of writes in order. It prints, once each is committed:
//   inserted ID TOKEN
//   updated ID READ_TOKEN TOKEN      (TOKEN written over READ_TOKEN, the last token read)
//   conflict ID                      (someone else saved first: nothing written)
//   failed ID DESCRIPTION            (the database refused: nothing written)
//   unavailable DESCRIPTION          (no answer, or the connection was lost: nothing confirmed;
//                                     the client waits a moment and goes on)
// and after each of these steps (opening the database is the first):
//   took MS AT                       (the step took MS milliseconds and ended at AT, in
//                                     milliseconds of the machine's monotonic clock)
//   case_client DATABASE TAG SHARED_CASES
// DATABASE is the path of a database file, or a PostgreSQL connection text.
// TAG makes this run's tokens unique ("TAG.1", "TAG.2", ...); SHARED_CASES is how many of the
// first cases the updates pick from.

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <functional>

#include "case_statements.h"
#include "case_store.h"
#include "date_text.h"
#include "error_trap.h"
#include "failure.h"
#include "prompts.h"
#include "record_set.h"
#include "save_step.h"

namespace {

// The boxes of a save: the question is answered No and remembered; an error box is kept.
class ClientPrompts : public Prompts {
public:
    bool asked = false;
    QString error;

    QString input(const QString&, const QString&, const QString&) override { return {}; }
    void showModal(QDialog&) override {}
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }

protected:
    Answer showMessage(const QString& text, Buttons buttons, Icon, const QString&) override {
        if (asksYesNo(buttons)) {
            asked = true;
            return Answer::No;
        }
        error = text.section(QLatin1Char('\r'), 0, 0);
        return Answer::Ok;
    }
};

QString firstValue(CaseStore& store, const QString& select) {
    RecordSet rows = store.query(select);
    if (rows.eof() || rows.text(0).isEmpty()) {
        throw Failure(QStringLiteral("no value: ") + select);
    }
    return rows.text(0);
}

void print(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

qint64 now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs one step and says how long it took. A server that cannot be reached or a connection lost
// (a failover) fails only the step: the client says so, pauses as a person would, and goes on.
void timed(const std::function<void()>& step) {
    const qint64 start = now();
    bool unavailable = false;
    try {
        step();
    } catch (const Failure& failure) {
        print(QStringLiteral("unavailable ") + failure.description().simplified());
        unavailable = true;
    }
    const qint64 end = now();
    print(QStringLiteral("took %1 %2").arg(end - start).arg(end));
    if (unavailable) {
        QThread::msleep(100);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: case_client DATABASE TAG SHARED_CASES\n");
        return 2;
    }
    const QString target = QFile::decodeName(argv[1]);
    const QString tag = QString::fromLatin1(argv[2]);
    const int sharedCases = QByteArray(argv[3]).toInt();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QRandomGenerator random(static_cast<quint32>(tag.toUInt() * 7919U + 1U));
    CaseStore::createShared();
    CaseStore& store = CaseStore::shared();
    CaseRecord record;
    QStringList shared;
    bool ready = false;
    while (!ready) {
        timed([&] {
            if (store.state() != 0) {
                store.close();  // opened, then lost: open it again
            }
            if (target.startsWith(QLatin1Char('/'))) {
                store.openFile(target);
            } else {
                store.openServer(target);
            }
            record.assignedTo = firstValue(store, QStringLiteral("select min(ID) from Employees"));
            record.openedBy = record.assignedTo;
            record.customer = firstValue(store, QStringLiteral("select min(ID) from Customers"));
            record.status = firstValue(store, QStringLiteral("select min(Status) from Status"));
            record.category =
                firstValue(store, QStringLiteral("select min(Category) from Categories"));
            record.priority =
                firstValue(store, QStringLiteral("select min(Priority) from Priorities"));
            record.knowledgeBase =
                firstValue(store, QStringLiteral("select min(KB) from KnowledgeBase"));
            shared.clear();
            for (RecordSet rows = store.query(QStringLiteral("select ID from Cases order by ID"));
                 !rows.eof() && shared.size() < sharedCases; rows.moveNext()) {
                shared.append(rows.text(0));
            }
            ready = true;
        });
    }
    record.openedDate = DateText::toText(QDate::currentDate());
    record.dueDate = record.openedDate;
    record.callTime = record.openedDate;
    record.resolvedDate = QStringLiteral("NULL");
    for (qlonglong sequence = 1;; ++sequence) {
        const QString token = tag + QLatin1Char('.') + QString::number(sequence);
        if (sequence % 2 == 1) {
            timed([&] {
                record.title = QStringLiteral("Case ") + token;
                record.comments = token;
                store.execute(CaseStatements::insert(record));
                print(QStringLiteral("inserted %1 %2")
                          .arg(firstValue(store,
                                          QStringLiteral("select ID from Cases where Comments='") +
                                              token + QLatin1Char('\'')),
                               token));
            });
            continue;
        }
        timed([&] {
            const QString id = shared[random.bounded(static_cast<int>(shared.size()))];
            const QString rowSelect = QStringLiteral("select * from Cases where ID=") + id;
            std::optional<SaveStep::StoredRow> loaded;
            QString history;
            {
                RecordSet row = store.query(rowSelect);
                loaded = SaveStep::storedRow(row);
                history = row.eof() ? QString() : row.text(QStringLiteral("Comments"));
            }
            QThread::usleep(random.bounded(3000));  // the user types
            record.title = QStringLiteral("Updated ") + token;
            record.comments = history + QLatin1Char(' ') + token;
            ClientPrompts prompts;
            ErrorTrap trap{prompts, QStringLiteral("Form2"), QStringLiteral("PushButton2_Click")};
            const std::optional<int> changed = SaveStep::writeChecked(
                trap, prompts, 164, rowSelect, loaded, SaveStep::overwriteQuestion("case"),
                [&] { return CaseStatements::update(record, id); });
            if (changed && *changed == 1) {
                print(QStringLiteral("updated %1 %2 %3")
                          .arg(id, history.section(QLatin1Char(' '), -1), token));
            } else if (prompts.asked) {
                print(QStringLiteral("conflict ") + id);
            } else {
                print(QStringLiteral("failed %1 %2").arg(id, prompts.error.simplified()));
            }
        });
    }
}
