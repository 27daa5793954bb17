#pragma once

#include <QString>

// How users reach the makers of the program.
namespace Contact {

inline QString supportEmail() {
    return QStringLiteral("support@orvanta.example");
}
inline QString contactPage() {
    return QStringLiteral("https://www.orvanta.example/contact/");
}

}  // namespace Contact
