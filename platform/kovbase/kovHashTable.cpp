// Pointer sets: the handle tables through which scripts name library
// objects. A handle coming back from a script is only ever compared with
// entered pointers, never dereferenced before it is found here.
#include "kovbase.h"

#include <new>
#include <unordered_set>
#include <vector>

struct kov_hash_table {
    std::unordered_set<const void*> entries;
};

kov_hash_table* kov_hash_table_create(size_t bucketHint)
{
    auto* table = new (std::nothrow) kov_hash_table;
    if (table == nullptr) {
        return nullptr;
    }
    try {
        table->entries.reserve(bucketHint);
    } catch (...) {
        delete table;
        return nullptr;
    }
    return table;
}

int kov_hash_table_add_pointer(kov_hash_table* table, void* pointer)
{
    if (table == nullptr || pointer == nullptr) {
        return 0;
    }
    try {
        return table->entries.insert(pointer).second ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void* kov_hash_table_find_pointer(const kov_hash_table* table, const void* value)
{
    if (table == nullptr || value == nullptr) {
        return nullptr;
    }
    const auto found = table->entries.find(value);
    return found == table->entries.end() ? nullptr : const_cast<void*>(*found);
}

int kov_hash_table_remove_pointer(kov_hash_table* table, const void* pointer, int flags)
{
    (void)flags;
    if (table == nullptr || pointer == nullptr) {
        return 0;
    }
    return table->entries.erase(pointer) != 0 ? 1 : 0;
}

size_t kov_hash_table_count(const kov_hash_table* table)
{
    return table == nullptr ? 0 : table->entries.size();
}

void kov_hash_table_destroy(kov_hash_table* table, void (*destructor)(void*))
{
    if (table == nullptr) {
        return;
    }
    if (destructor != nullptr) {
        // Taken out first, so a destructor that fails half-way can never
        // see a set that still names what it has already freed.
        std::vector<const void*> entries(table->entries.begin(), table->entries.end());
        table->entries.clear();
        for (const void* entry : entries) {
            destructor(const_cast<void*>(entry));
        }
    }
    delete table;
}
