// Pointer sets: membership, removal, stale handles and the destroy pass.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "kovbase.h"

namespace {

std::multiset<void*> destroyed;

void recordDestroy(void* p) { destroyed.insert(p); }

TEST(KovHashTable, FindsOnlyEnteredPointers)
{
    kov_hash_table* table = kov_hash_table_create(128);
    ASSERT_NE(table, nullptr);
    int objects[300];
    for (int& o : objects) {
        EXPECT_EQ(kov_hash_table_add_pointer(table, &o), 1);
    }
    EXPECT_EQ(kov_hash_table_count(table), 300u);  // grew beyond its hint
    for (int& o : objects) {
        EXPECT_EQ(kov_hash_table_find_pointer(table, &o), &o);
    }
    // A handle a script made up, one just past an object, and null.
    int stranger = 0;
    EXPECT_EQ(kov_hash_table_find_pointer(table, &stranger), nullptr);
    EXPECT_EQ(kov_hash_table_find_pointer(table, reinterpret_cast<char*>(&objects[0]) + 1),
              nullptr);
    EXPECT_EQ(kov_hash_table_find_pointer(table, reinterpret_cast<void*>(std::uintptr_t{12345})),
              nullptr);
    EXPECT_EQ(kov_hash_table_find_pointer(table, nullptr), nullptr);
    kov_hash_table_destroy(table, nullptr);
}

TEST(KovHashTable, AddingTwiceOrNullIsRefused)
{
    kov_hash_table* table = kov_hash_table_create(4);
    int a = 0;
    EXPECT_EQ(kov_hash_table_add_pointer(table, &a), 1);
    EXPECT_EQ(kov_hash_table_add_pointer(table, &a), 0);
    EXPECT_EQ(kov_hash_table_add_pointer(table, nullptr), 0);
    EXPECT_EQ(kov_hash_table_add_pointer(nullptr, &a), 0);
    EXPECT_EQ(kov_hash_table_count(table), 1u);
    kov_hash_table_destroy(table, nullptr);
}

TEST(KovHashTable, RemovedPointerIsStaleAndNotDestroyed)
{
    destroyed.clear();
    kov_hash_table* table = kov_hash_table_create(128);
    int a = 0, b = 0, c = 0;
    kov_hash_table_add_pointer(table, &a);
    kov_hash_table_add_pointer(table, &b);
    kov_hash_table_add_pointer(table, &c);
    EXPECT_EQ(kov_hash_table_remove_pointer(table, &b, 0), 1);
    EXPECT_EQ(kov_hash_table_remove_pointer(table, &b, 0), 0);  // already gone
    EXPECT_EQ(kov_hash_table_find_pointer(table, &b), nullptr);
    EXPECT_EQ(kov_hash_table_find_pointer(table, &a), &a);
    kov_hash_table_destroy(table, recordDestroy);
    EXPECT_EQ(destroyed, (std::multiset<void*>{&a, &c}));  // each once, b not at all
}

TEST(KovHashTable, NullTableIsHarmless)
{
    int a = 0;
    EXPECT_EQ(kov_hash_table_find_pointer(nullptr, &a), nullptr);
    EXPECT_EQ(kov_hash_table_remove_pointer(nullptr, &a, 0), 0);
    EXPECT_EQ(kov_hash_table_count(nullptr), 0u);
    kov_hash_table_destroy(nullptr, recordDestroy);
}

}  // namespace
