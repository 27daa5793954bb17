#pragma once

#include <QString>

class DateFormatter;
class ReportListModel;

// The case list as a spreadsheet reads it: RFC 4180 CSV in UTF-8, the rows as the list shows
// them (filtered and sorted), the headers first, dates in ISO 8601.
namespace CsvExport {

// One field: quoted, with its quotes doubled, when it holds a comma, a quote, CR or LF.
QString field(const QString& text);

// A date cell in ISO 8601: yyyy-MM-dd, or yyyy-MM-ddTHH:mm:ss when it has a time of day. A cell
// that is no date stays as it is.
QString isoDate(const QString& shown, const DateFormatter& dates);

// The whole file's text: the header line and one line per shown row, each ended by CRLF.
QString text(const ReportListModel& rows);

// Writes the file whole or not at all (a byte-order mark first, which tells spreadsheets that it
// is UTF-8). Throws Failure naming the file and the reason when it cannot be written.
void write(const ReportListModel& rows, const QString& path);

}  // namespace CsvExport
