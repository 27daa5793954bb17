#include "lookup_members.h"

#include "case_editor.h"

const std::array<LookupMember, 4>& lookupMembers() {
    static const std::array<LookupMember, 4> members{{
        {&Form2::Combo3, "LoadStatus", "select * from Status order by Status", "Status", 7, 8,
         "Enter new Status: ", "Input Status", "insert into [Status] values ('",
         "Warning: Deleting status will also delete issue data that is linked to this status.",
         "delete from [Status] where Status='", "delete from Cases where Status='"},
        {&Form2::Combo4, "LoadCategories", "select * from Categories order by Category", "Category",
         11, 12, "Enter new Category: ", "Input Category", "insert into [Categories] values ('",
         "Warning: Deleting category will also delete issue data that is linked to this "
         "category.",
         "delete from [Categories] where Category='", "delete from Cases where Category='"},
        {&Form2::Combo5, "LoadPriorities", "select * from Priorities order by Priority", "Priority",
         13, 14, "Enter new Priority: ", "Input Priority", "insert into [Priorities] values ('",
         "Warning: Deleting priority will also delete issue data that is linked to this "
         "priority.",
         "delete from [Priorities] where Priority='", "delete from Cases where Priority='"},
        {&Form2::Combo7, "LoadKB", "select * from KnowledgeBase order by KB", "KB", 18, 19,
         "Enter new Knowledge Base: ", "Input Knowledge Base",
         "insert into [KnowledgeBase] values ('",
         "Warning: Deleting knowledge base will also delete issue data that is linked to this "
         "knowledge base.",
         "delete from [KnowledgeBase] where KB='", "delete from Cases where KB='"},
    }};
    return members;
}
