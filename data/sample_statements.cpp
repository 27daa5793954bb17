#include "sample_statements.h"

#include "contact_statements.h"
#include "lookup_statements.h"

namespace {

SampleTableStatements counted(const QString& table, const QString& column,
                              std::array<QString, 2> inserts) {
    const QString field = table + QLatin1Char('.') + column;
    return {QStringLiteral("SELECT Count(%1) AS [CountID] From %2").arg(field, table),
            std::move(inserts),
            QStringLiteral("SELECT First(%1) AS [MaxID] FROM %2").arg(field, table),
            QStringLiteral("SELECT Last(%1) AS [MaxID] FROM %2").arg(field, table)};
}

ContactRecord person(const char* first, const char* last, const char* company,
                     const char* jobTitle) {
    ContactRecord record;
    record.firstName = QString::fromLatin1(first);
    record.lastName = QString::fromLatin1(last);
    record.email = (record.firstName + QLatin1Char('.') + record.lastName).toLower() +
                   QLatin1String("@example.com");
    record.company = QString::fromLatin1(company);
    record.jobTitle = QString::fromLatin1(jobTitle);
    return record;
}

SampleTableStatements people(const char* table, const ContactRecord& one,
                             const ContactRecord& two) {
    const QString name = QString::fromLatin1(table);
    return counted(
        name, QStringLiteral("ID"),
        {ContactStatements::insertBrief(name, one), ContactStatements::insertBrief(name, two)});
}

SampleTableStatements lookup(const char* table, Lookup kind, const char* one, const char* two) {
    return counted(QString::fromLatin1(table), LookupStatements::column(kind),
                   {LookupStatements::insert(kind, QString::fromLatin1(one)),
                    LookupStatements::insert(kind, QString::fromLatin1(two))});
}

}  // namespace

const std::array<SampleTableStatements, 6>& SampleStatements::tables() {
    static const std::array<SampleTableStatements, 6> tables{{
        people("Employees", person("John", "Wilson", "ACME", "Manager"),
               person("Daniel", "Carter", "ACME", "HR")),
        people("Customers", person("Hanna", "Simmons", "Simmons Supplies", "CEO"),
               person("Neil", "Burgess", "WestEast Cost Cars", "Senior manager")),
        lookup("Status", Lookup::Status, "In process", "Cancelled"),
        lookup("Categories", Lookup::Category, "New Category", "Main Category"),
        lookup("Priorities", Lookup::Priority, "High", "Low"),
        lookup("KnowledgeBase", Lookup::KnowledgeBase, "Corporate knowledge base",
               "Department knowledge base"),
    }};
    return tables;
}
