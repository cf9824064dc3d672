#include "acf/acf_node.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

template <class Action>
void expect_error(Action action, const char* message) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

std::vector<std::string> keys(const acf_object& object) {
    std::vector<std::string> out;
    for (const auto& [key, value] : object) out.push_back(key);
    return out;
}

TEST(acf_node, holds_text_first_and_fails_typed_access_to_the_other_alternative) {
    acf_node empty;
    EXPECT_EQ(empty.index(), 0u);
    EXPECT_EQ(empty.as_text(), "");
    EXPECT_THROW(empty.as_object(), std::bad_variant_access);
    expect_error([&] { empty.as_object(); }, "bad variant access");

    const acf_node object = acf_object{};
    EXPECT_EQ(object.index(), 1u);
    EXPECT_TRUE(object.as_object().empty());
    expect_error([&] { (void)object.as_text(); }, "bad variant access");

    acf_node changing = "text";
    changing = acf_object{};
    EXPECT_EQ(changing.index(), 1u);
}

TEST(acf_object, orders_keys_by_unsigned_bytes) {
    acf_object object;
    for (const char* key : {"10", "2", "1", "0", "\x80high", "zeta", "AppState", "appstate", "", "1\x01"}) {
        object.get_or_insert(key);
    }
    EXPECT_EQ(keys(object), (std::vector<std::string>{"", "0", "1", "1\x01", "10", "2", "AppState", "appstate", "zeta",
                                                      "\x80high"}));
}

TEST(acf_object, lookups_find_insert_or_fail_as_documented) {
    acf_object object;
    object.get_or_insert("Path") = "C:\\x";
    object.get_or_insert("empty");
    expect_error([&] { object.at("path"); }, "invalid map<K, T> key");
    EXPECT_THROW(object.at("missing"), std::out_of_range);
    EXPECT_EQ(object.at("empty").as_text(), "");  // empty text is not an absent key
    expect_error([] { acf_object().at("x"); }, "invalid map<K, T> key");

    // get_or_insert leaves its empty text behind even when the next step fails.
    expect_error([&] { object.get_or_insert("libraryfolders").as_object(); }, "bad variant access");
    EXPECT_EQ(object.at("libraryfolders").as_text(), "");

    acf_node& block = object.try_insert("block", acf_object{});
    block.as_object().get_or_insert("inner") = "1";
    acf_node& again = object.try_insert("block", acf_node("offered text"));
    EXPECT_EQ(&again, &block);
    EXPECT_EQ(again.as_object().at("inner").as_text(), "1");
}

TEST(acf_object, entries_stay_in_place_while_the_tree_grows) {
    acf_object object;
    acf_node& first = object.get_or_insert("m");
    const acf_node* address = &first;
    for (int i = 0; i < 1000; ++i) object.get_or_insert(std::to_string(i));
    EXPECT_EQ(&object.at("m"), address);
}

TEST(acf_node, copies_are_deep) {
    acf_object inner;
    inner.get_or_insert("k") = "v";
    acf_object outer;
    outer.try_insert("inner", inner);
    acf_node source = outer;

    acf_node copy = source;
    copy.as_object().at("inner").as_object().at("k") = "changed";
    copy.as_object().at("inner").as_object().get_or_insert("new");
    copy.as_object().get_or_insert("top") = "x";
    EXPECT_EQ(source.as_object().at("inner").as_object().at("k").as_text(), "v");
    EXPECT_EQ(source.as_object().at("inner").as_object().size(), 1u);
    EXPECT_EQ(source.as_object().size(), 1u);
}

}  // namespace
