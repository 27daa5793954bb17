// Fuzz target: the date parser never crashes, and every text it accepts is a date in range that
// reads back as the same date from its own display text and from its storage form, in the
// American and in the German short date form (the first byte of the input picks the locale).
//   fuzz_date_parse [-max_total_time=SECONDS] [CORPUS]

#include <QLocale>
#include <cstdio>
#include <cstdlib>

#include "date_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const QLocale locale = (data[0] & 1) != 0 ? QLocale(QLocale::German, QLocale::Germany)
                                              : QLocale(QLocale::English, QLocale::UnitedStates);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    const auto parsed = DateText::parse(text, locale);
    if (!parsed) {
        return 0;
    }
    const QDate date = parsed->date();
    if (!date.isValid() || date.year() < 100 || date.year() > 9999 || !parsed->time().isValid()) {
        std::fprintf(stderr, "accepted a text that is no date in range\n");
        std::abort();
    }
    const auto shown = DateText::parse(DateText::toText(*parsed, locale), locale);
    const QByteArray stored = DateText::toStorage(*parsed).toUtf8();
    const auto read = DateText::fromStorage(
        std::string_view(stored.constData(), static_cast<size_t>(stored.size())));
    if (!shown || *shown != *parsed || !read || *read != *parsed) {
        std::fprintf(stderr, "an accepted date does not read back as itself\n");
        std::abort();
    }
    return 0;
}
