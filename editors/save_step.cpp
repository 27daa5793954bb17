#include "save_step.h"

#include "case_store.h"
#include "error_trap.h"
#include "prompts.h"

namespace SaveStep {

std::optional<int> write(ErrorTrap& trap, int line, const std::function<QString()>& statement) {
    std::optional<int> changed;
    trap.at(line, [&] { changed = CaseStore::shared().execute(statement()); });
    return changed;
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
