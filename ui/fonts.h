#pragma once

#include <QFont>

// The two fonts of every window: Arial 9 pt bold for windows, labels, fields and lists, Arial
// 11.25 pt bold for push buttons. Where Arial is missing, fontconfig gives Liberation Sans, which
// has the same metrics.
namespace Fonts {

QFont window();
QFont button();
// The window font in the regular weight, for long texts read line by line (help, history).
QFont plain();
QFont make(double pointSize, bool bold, bool italic = false);

}  // namespace Fonts
