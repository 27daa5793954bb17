#include "lookup_members.h"

#include "case_editor.h"

const std::array<LookupMember, 4>& lookupMembers() {
    static const std::array<LookupMember, 4> members{{
        {.list = &Form2::Combo3,
         .loader = "LoadStatus",
         .select = "select * from Status order by Status",
         .column = "Status",
         .addButton = 7,
         .deleteButton = 8,
         .addTip = "Add a status",
         .deleteTip = "Delete the selected status and every case linked to it",
         .prompt = "Enter new Status: ",
         .title = "Input Status",
         .insert = "insert into [Status] values ('",
         .question = "Warning: Deleting status will also delete issue data that is linked to "
                     "this status.",
         .deleteLookup = "delete from [Status] where Status='",
         .deleteCases = "delete from Cases where Status='"},
        {.list = &Form2::Combo4,
         .loader = "LoadCategories",
         .select = "select * from Categories order by Category",
         .column = "Category",
         .addButton = 11,
         .deleteButton = 12,
         .addTip = "Add a category",
         .deleteTip = "Delete the selected category and every case linked to it",
         .prompt = "Enter new Category: ",
         .title = "Input Category",
         .insert = "insert into [Categories] values ('",
         .question = "Warning: Deleting category will also delete issue data that is linked to "
                     "this category.",
         .deleteLookup = "delete from [Categories] where Category='",
         .deleteCases = "delete from Cases where Category='"},
        {.list = &Form2::Combo5,
         .loader = "LoadPriorities",
         .select = "select * from Priorities order by Priority",
         .column = "Priority",
         .addButton = 13,
         .deleteButton = 14,
         .addTip = "Add a priority",
         .deleteTip = "Delete the selected priority and every case linked to it",
         .prompt = "Enter new Priority: ",
         .title = "Input Priority",
         .insert = "insert into [Priorities] values ('",
         .question = "Warning: Deleting priority will also delete issue data that is linked to "
                     "this priority.",
         .deleteLookup = "delete from [Priorities] where Priority='",
         .deleteCases = "delete from Cases where Priority='"},
        {.list = &Form2::Combo7,
         .loader = "LoadKB",
         .select = "select * from KnowledgeBase order by KB",
         .column = "KB",
         .addButton = 18,
         .deleteButton = 19,
         .addTip = "Add a knowledge base",
         .deleteTip = "Delete the selected knowledge base and every case linked to it",
         .prompt = "Enter new Knowledge Base: ",
         .title = "Input Knowledge Base",
         .insert = "insert into [KnowledgeBase] values ('",
         .question = "Warning: Deleting knowledge base will also delete issue data that is "
                     "linked to this knowledge base.",
         .deleteLookup = "delete from [KnowledgeBase] where KB='",
         .deleteCases = "delete from Cases where KB='"},
    }};
    return members;
}
