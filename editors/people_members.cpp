#include "people_members.h"

#include "contact_editor.h"

const std::array<PeopleMember, 3>& peopleMembers() {
    static const std::array<PeopleMember, 3> members{{
        {.editor = &ContactKind::employees,
         .addButton = 5,
         .editButton = 9,
         .deleteButton = 6,
         .addTip = "Add an employee",
         .editTip = "Edit the selected employee",
         .deleteTip = "Delete the selected employee and every case linked to them",
         .question = "Warning: Deleting assigned to will also delete issue data that is linked "
                     "to this employee."},
        {.editor = &ContactKind::employees,
         .addButton = 3,
         .editButton = 10,
         .deleteButton = 4,
         .addTip = "Add an employee",
         .editTip = "Edit the selected employee",
         .deleteTip = "Delete the selected employee and every case linked to them",
         .question = "Warning: Deleting opened by will also delete issue data that is linked "
                     "to this employee."},
        {.editor = &ContactKind::customers,
         .addButton = 15,
         .editButton = 17,
         .deleteButton = 16,
         .addTip = "Add a customer",
         .editTip = "Edit the selected customer",
         .deleteTip = "Delete the selected customer and every case linked to them",
         .question = "Warning: Deleting customer will also delete issue data that is linked to "
                     "this customer."},
    }};
    return members;
}
