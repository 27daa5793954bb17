#include "case_finder.h"

#include <QStringList>
#include <string>
#include <utility>
#include <vector>

namespace {

const QString kOverdueWord = QStringLiteral("overdue");

}  // namespace

void CaseFinder::setQuery(const QString& typed) {
    std::vector<std::string> words;
    bool onlyOverdue = false;
    const QStringList typedWords =
        fold(typed).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : typedWords) {
        if (word == kOverdueWord) {
            onlyOverdue = true;
        } else {
            words.push_back(word.toStdString());
        }
    }
    setWords(std::move(words), onlyOverdue);
}
