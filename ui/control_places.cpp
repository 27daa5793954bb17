#include "control_places.h"

#include "fonts.h"

#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace ControlPlaces {

QPushButton* pushButton(QWidget* window, int number, const QString& caption) {
    auto* button = new QPushButton(caption, window);
    button->setObjectName(QStringLiteral("PushButton%1").arg(number));
    button->setFont(Fonts::button());
    button->setAutoDefault(false);
    return button;
}

void apply(std::initializer_list<Row> rows) {
    std::vector<const Row*> tabStops;
    for (const Row& row : rows) {
        if (row.control == nullptr) {
            continue;
        }
        if (row.designerName != nullptr) {
            row.control->setObjectName(QString::fromLatin1(row.designerName));
        }
        Twips::place(row.control, row.place);
        if (row.tab != kNoTab) {
            tabStops.push_back(&row);
        }
    }
    std::stable_sort(tabStops.begin(), tabStops.end(),
                     [](const Row* a, const Row* b) { return a->tab < b->tab; });
    for (size_t i = 1; i < tabStops.size(); ++i) {
        QWidget::setTabOrder(tabStops[i - 1]->control, tabStops[i]->control);
    }
}

}  // namespace ControlPlaces
