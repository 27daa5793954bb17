#include "csv_export.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>

#include "date_text.h"
#include "failure.h"
#include "report_list.h"

namespace CsvExport {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

QString line(const QStringList& fields) {
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& text : fields) {
        quoted.append(field(text));
    }
    return quoted.join(QLatin1Char(',')) + kLineEnd;
}

}  // namespace

QString field(const QString& text) {
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                             text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!needsQuotes) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString isoDate(const QString& shown, const DateFormatter& dates) {
    const std::optional<qint64> key = shown.isEmpty() ? std::nullopt : dates.sortKey(shown);
    if (!key) {
        return shown;
    }
    // The key reads yyyyMMddHHmmss.
    const qint64 day = *key / 1000000;
    const qint64 time = *key % 1000000;
    const auto two = [](qint64 number) {
        return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
    };
    QString iso = QStringLiteral("%1-%2-%3")
                      .arg(day / 10000, 4, 10, QLatin1Char('0'))
                      .arg(two(day / 100 % 100), two(day % 100));
    if (time != 0) {
        iso += QStringLiteral("T%1:%2:%3")
                   .arg(two(time / 10000), two(time / 100 % 100), two(time % 100));
    }
    return iso;
}

QString text(const ReportListModel& rows) {
    const int columns = rows.columnCount();
    const DateFormatter dates;
    // Each date text is read once: the rows share few dates, and a date with a month name is
    // slow to read.
    QHash<QString, QString> isoDates;
    QStringList fields;
    for (int column = 0; column < columns; ++column) {
        fields.append(rows.header(column));
    }
    QString out = line(fields);
    for (int position = 0; position < rows.count(); ++position) {
        fields.clear();
        for (int column = 0; column < columns; ++column) {
            const QString cell = rows.text(position, column);
            if (rows.sortKind(column) != ReportListModel::SortKind::Date) {
                fields.append(cell);
                continue;
            }
            auto known = isoDates.constFind(cell);
            if (known == isoDates.cend()) {
                known = isoDates.insert(cell, isoDate(cell, dates));
            }
            fields.append(*known);
        }
        out += line(fields);
    }
    return out;
}

void write(const ReportListModel& rows, const QString& path) {
    QSaveFile file(path);
    const auto fail = [&path](const QString& reason) {
        throw Failure(QStringLiteral("The list cannot be written to %1: %2")
                          .arg(QDir::toNativeSeparators(path), reason));
    };
    if (!file.open(QIODevice::WriteOnly)) {
        fail(file.errorString());
    }
    const QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF") + text(rows).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        fail(file.errorString());
    }
}

}  // namespace CsvExport
