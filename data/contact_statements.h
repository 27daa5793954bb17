#pragma once

#include <QString>

// The sixteen values of one person, in the order of the contact editor's fields (Text1 ...
// Text16). Employees and Customers carry the same columns.
struct ContactRecord {
    QString firstName;      // [First Name]
    QString lastName;       // [Last Name]
    QString jobTitle;       // [Job Title]
    QString company;        // Company
    QString businessPhone;  // [Business Phone]
    QString homePhone;      // [Home Phone]
    QString mobilePhone;    // [Mobile Phone]
    QString faxNumber;      // [Fax Number]
    QString address;        // Address
    QString city;           // City
    QString state;          // State
    QString zip;            // ZIP
    QString country;        // Country
    QString email;          // [E-mail Address]
    QString webPage;        // [Web Page]
    QString notes;          // Notes
};

// The statements that read and write one person of the table "Employees" or "Customers". Every
// value is written in single quotes with its single quotes doubled and nothing else changed, so
// an empty value is stored as the empty text, never as NULL. The ID goes in unquoted, as given.
namespace ContactStatements {

// "select * from <table> where ID=<id>"
QString select(const QString& table, const QString& id);
// "select * from [<table> Extended]": everyone with the name the lists show.
QString listed(const QString& table);
QString insert(const QString& table, const ContactRecord& record);
// The insert of a person's names, e-mail address, company and job title alone (sample people).
QString insertBrief(const QString& table, const ContactRecord& record);
// "delete from <table> where ID=<id>"
QString remove(const QString& table, const QString& id);
// The deletion of the cases linked to a person: an employee's as assigned to or opened by, a
// customer's as customer.
QString removeCases(const QString& table, const QString& id);
QString update(const QString& table, const ContactRecord& record, const QString& id);

}  // namespace ContactStatements
