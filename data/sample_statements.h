#pragma once

#include <QString>
#include <array>

// The statements that give an empty database its sample data, one table at a time: the count
// of its rows, its two sample rows, and the First and Last of the column the cases link to.
struct SampleTableStatements {
    QString count;  // "SELECT Count(Employees.ID) AS [CountID] From Employees"
    std::array<QString, 2> inserts;
    QString first;  // "SELECT First(Employees.ID) AS [MaxID] FROM Employees"
    QString last;
};

namespace SampleStatements {

// Employees, Customers, Status, Categories, Priorities and KnowledgeBase, in this order.
const std::array<SampleTableStatements, 6>& tables();

}  // namespace SampleStatements
