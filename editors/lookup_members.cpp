#include "lookup_members.h"

const std::array<LookupMember, 4>& lookupMembers() {
    static const std::array<LookupMember, 4> members{{
        {.loader = "LoadStatus",
         .kind = Lookup::Status,
         .addButton = 7,
         .deleteButton = 8,
         .addTip = "Add a status",
         .deleteTip = "Delete the selected status and every case linked to it",
         .prompt = "Enter new Status: ",
         .title = "Input Status",
         .question = "Warning: Deleting status will also delete issue data that is linked to "
                     "this status."},
        {.loader = "LoadCategories",
         .kind = Lookup::Category,
         .addButton = 11,
         .deleteButton = 12,
         .addTip = "Add a category",
         .deleteTip = "Delete the selected category and every case linked to it",
         .prompt = "Enter new Category: ",
         .title = "Input Category",
         .question = "Warning: Deleting category will also delete issue data that is linked to "
                     "this category."},
        {.loader = "LoadPriorities",
         .kind = Lookup::Priority,
         .addButton = 13,
         .deleteButton = 14,
         .addTip = "Add a priority",
         .deleteTip = "Delete the selected priority and every case linked to it",
         .prompt = "Enter new Priority: ",
         .title = "Input Priority",
         .question = "Warning: Deleting priority will also delete issue data that is linked to "
                     "this priority."},
        {.loader = "LoadKB",
         .kind = Lookup::KnowledgeBase,
         .addButton = 18,
         .deleteButton = 19,
         .addTip = "Add a knowledge base",
         .deleteTip = "Delete the selected knowledge base and every case linked to it",
         .prompt = "Enter new Knowledge Base: ",
         .title = "Input Knowledge Base",
         .question = "Warning: Deleting knowledge base will also delete issue data that is "
                     "linked to this knowledge base."},
    }};
    return members;
}
