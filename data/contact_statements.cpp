#include "contact_statements.h"

#include <array>
#include <span>
#include <utility>

#include "sql_text.h"

namespace ContactStatements {

namespace {

using Value = QString ContactRecord::*;

// The columns in the order in which both statements name them: first name, last name, e-mail
// address, company and job title, then the others in the order of the fields.
constexpr std::array<std::pair<const char*, Value>, 16> kColumns{{
    {"[First Name]", &ContactRecord::firstName},
    {"[Last Name]", &ContactRecord::lastName},
    {"[E-mail Address]", &ContactRecord::email},
    {"Company", &ContactRecord::company},
    {"[Job Title]", &ContactRecord::jobTitle},
    {"[Business Phone]", &ContactRecord::businessPhone},
    {"[Home Phone]", &ContactRecord::homePhone},
    {"[Mobile Phone]", &ContactRecord::mobilePhone},
    {"[Fax Number]", &ContactRecord::faxNumber},
    {"Address", &ContactRecord::address},
    {"City", &ContactRecord::city},
    {"State", &ContactRecord::state},
    {"ZIP", &ContactRecord::zip},
    {"Country", &ContactRecord::country},
    {"[Web Page]", &ContactRecord::webPage},
    {"Notes", &ContactRecord::notes},
}};

}  // namespace

QString select(const QString& table, const QString& id) {
    return QLatin1String("select * from ") + table + QLatin1String(" where ID=") + id;
}

QString listed(const QString& table) {
    return QLatin1String("select * from [") + table + QLatin1String(" Extended]");
}

QString remove(const QString& table, const QString& id) {
    return QLatin1String("delete from ") + table + QLatin1String(" where ID=") + id;
}

QString removeCases(const QString& table, const QString& id) {
    if (table == QLatin1String("Employees")) {
        return QLatin1String("delete from Cases where [Assigned To]=") + id +
               QLatin1String(" Or [Opened By] = ") + id;
    }
    return QLatin1String("delete from Cases where [Customer]=") + id;
}

namespace {

// The insert of the first `count` columns.
QString insertColumns(const QString& table, const ContactRecord& record, size_t count) {
    QString columns;
    QString values;
    for (const auto& [column, value] : std::span(kColumns).first(count)) {
        if (!columns.isEmpty()) {
            columns += QLatin1Char(',');
            values += QLatin1String("','");
        }
        columns += QLatin1String(column);
        values += SqlText::doubledQuotes(record.*value);
    }
    return QLatin1String("insert into ") + table + QLatin1String(" (") + columns +
           QLatin1String(") values ('") + values + QLatin1String("')");
}

}  // namespace

QString insert(const QString& table, const ContactRecord& record) {
    return insertColumns(table, record, kColumns.size());
}

QString insertBrief(const QString& table, const ContactRecord& record) {
    return insertColumns(table, record, 5);
}

QString update(const QString& table, const ContactRecord& record, const QString& id) {
    QString assignments;
    for (const auto& [column, value] : kColumns) {
        if (!assignments.isEmpty()) {
            assignments += QLatin1Char(',');
        }
        assignments += QLatin1String(column) + QLatin1String("='") +
                       SqlText::doubledQuotes(record.*value) + QLatin1Char('\'');
    }
    return QLatin1String("update ") + table + QLatin1String(" set ") + assignments +
           QLatin1String(" where ID=") + id;
}

}  // namespace ContactStatements
