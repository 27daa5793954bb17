#include "people_members.h"

#include "case_editor.h"
#include "contact_editor.h"

const std::array<PeopleMember, 3>& peopleMembers() {
    static const std::array<PeopleMember, 3> members{{
        {&Form2::Combo1, &Form2::EmployeeIDs, &Form2::LoadEmployees, &ContactKind::employees, 5, 9,
         6,
         "Warning: Deleting assigned to will also delete issue data that is linked to this "
         "employee.",
         "delete from Employees where ID=", "delete from Cases where [Assigned To]=",
         " Or [Opened By] = "},
        {&Form2::Combo2, &Form2::EmployeeIDs, &Form2::LoadEmployees, &ContactKind::employees, 3, 10,
         4,
         "Warning: Deleting opened by will also delete issue data that is linked to this "
         "employee.",
         "delete from Employees where ID=", "delete from Cases where [Assigned To]=",
         " Or [Opened By] = "},
        {&Form2::Combo6, &Form2::CustomerIDs, &Form2::LoadCustomers, &ContactKind::customers, 15,
         17, 16,
         "Warning: Deleting customer will also delete issue data that is linked to this customer.",
         "delete from Customers where ID=", "delete from Cases where [Customer]=", ""},
    }};
    return members;
}
