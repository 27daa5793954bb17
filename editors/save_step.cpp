#include "save_step.h"

#include "case_store.h"
#include "error_trap.h"
#include "prompts.h"
#include "record_set.h"

namespace SaveStep {

std::optional<StoredRow> storedRow(const RecordSet& rows) {
    if (rows.eof()) {
        return std::nullopt;
    }
    StoredRow values;
    const int columns = rows.columnCount();
    values.reserve(columns);
    for (int column = 0; column < columns; ++column) {
        values.append(rows.value(column));
    }
    return values;
}

std::optional<int> write(ErrorTrap& trap, int line, const std::function<QString()>& statement) {
    std::optional<int> changed;
    trap.at(line, [&] { changed = CaseStore::shared().execute(statement()); });
    return changed;
}

std::optional<int> writeChecked(ErrorTrap& trap, Prompts& prompts, int line,
                                const QString& rowSelect, std::optional<StoredRow>& loaded,
                                const QString& question,
                                const std::function<QString()>& statement) {
    for (;;) {
        std::optional<int> changed;
        std::optional<StoredRow> stored;
        bool changedByOthers = false;
        bool failed = true;
        trap.at(line, [&] {
            CaseStore& store = CaseStore::shared();
            store.transaction([&] {
                if (loaded) {
                    RecordSet rows = store.queryForUpdate(rowSelect);
                    stored = storedRow(rows);
                    rows.close();
                    if (stored && *stored != *loaded) {
                        changedByOthers = true;
                        return;  // nothing written; the question comes outside the lock
                    }
                }
                changed = store.execute(statement());
            });
            failed = false;
        });
        if (failed) {
            return std::nullopt;  // a transaction that failed (its commit too) changed nothing
                                  // known
        }
        if (!changedByOthers) {
            return changed;
        }
        bool overwrite = false;
        trap.at(line, [&] { overwrite = prompts.confirmNoByDefault(question); });
        if (!overwrite) {
            return std::nullopt;
        }
        loaded = stored;
    }
}

QString overwriteQuestion(const char* what) {
    return QStringLiteral(
               "Another user changed this %1 after you opened it.\r\n"
               "Do you want to save your version over it?")
        .arg(QLatin1String(what));
}

bool reportUpdate(ErrorTrap& trap, Prompts& prompts, int line, int changed,
                  const QString& goneMessage) {
    if (changed == 0) {
        trap.at(line, [&] { prompts.inform(goneMessage); });
        return false;
    }
    trap.at(line, [&] { prompts.inform(QStringLiteral("Record Successfully Updated")); });
    return true;
}

}  // namespace SaveStep
