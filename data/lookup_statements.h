#pragma once

#include <QString>

// The four lookup tables whose values a case carries by their text: a lookup value has no ID,
// its text is its identity in its table and in the cases.
enum class Lookup { Status, Category, Priority, KnowledgeBase };

// The statements of one lookup table. Values are quoted with their single quotes doubled.
namespace LookupStatements {

// The column that holds the values, in the table and in Cases ("Status", "KB").
QString column(Lookup lookup);
// "select * from Status order by Status"
QString list(Lookup lookup);
// "insert into [Status] values ('<value>')"
QString insert(Lookup lookup, const QString& value);
// "delete from [Status] where Status='<value>'"
QString remove(Lookup lookup, const QString& value);
// "delete from Cases where Status='<value>'": the cases that carry the value.
QString removeCases(Lookup lookup, const QString& value);

}  // namespace LookupStatements
