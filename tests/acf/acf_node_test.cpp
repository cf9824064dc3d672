#include "acf/acf_node.hpp"

#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <algorithm>
#include <map>
#include <random>
#include <vector>

namespace {

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
    EXPECT_EQ(keys(object),
              (std::vector<std::string>{"", "0", "1", "1\x01", "10", "2", "AppState", "appstate", "zeta", "\x80high"}));
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

// Every way an object can be built (keys in order, against it, shuffled; small
// and large) must agree with a plain ordered map: lookups, iteration, copies,
// and insertion after iteration or into a copy.
TEST(acf_object, agrees_with_an_ordered_map_however_keys_arrive) {
    enum class arrival { ascending, descending, shuffled, numeric };
    for (arrival how : {arrival::ascending, arrival::descending, arrival::shuffled, arrival::numeric}) {
        for (int count : {1, 8, 9, 17, 40, 1000}) {
            SCOPED_TRACE(::testing::Message() << "arrival " << static_cast<int>(how) << ", " << count << " keys");
            std::vector<std::string> order;
            for (int i = 0; i < count; ++i)
                order.push_back(how == arrival::numeric ? std::to_string(i) : "k" + std::to_string(100000 + i));
            if (how == arrival::descending) std::reverse(order.begin(), order.end());
            if (how == arrival::shuffled) std::shuffle(order.begin(), order.end(), std::mt19937(count));

            acf_object object;
            std::map<std::string, std::string> model;
            std::vector<const acf_node*> addresses;
            for (const std::string& key : order) {
                addresses.push_back(&object.try_insert(key, acf_node(key + "=v")));
                model.emplace(key, key + "=v");
            }
            auto check = [&](const acf_object& checked) {
                ASSERT_EQ(checked.size(), model.size());
                auto expected = model.begin();
                for (const auto& [key, value] : checked) {
                    ASSERT_NE(expected, model.end());
                    EXPECT_EQ(key, expected->first);
                    EXPECT_EQ(value.as_text(), expected->second);
                    ++expected;
                }
                EXPECT_EQ(expected, model.end());
                for (const auto& [key, value] : model) EXPECT_EQ(checked.at(key).as_text(), value);
                for (const char* absent : {"", "k", "k1000000", "zz", "\x80"}) {
                    if (!model.count(absent)) {
                        EXPECT_THROW(checked.at(absent), std::out_of_range) << absent;
                    }
                }
            };
            check(object);
            for (std::size_t i = 0; i < order.size(); ++i) {
                EXPECT_EQ(&object.try_insert(order[i], acf_node("again")), addresses[i]);
                EXPECT_EQ(&object.at(order[i]), addresses[i]);
            }

            acf_object copy = object;
            check(copy);
            // Iterated once, then grown: the order must follow the insertions.
            for (const char* key : {"", "k150000", "a", "\xff", "5"}) {
                object.get_or_insert(key) = std::string(key) + "=v";
                copy.get_or_insert(key) = std::string(key) + "=v";
                model.emplace(key, std::string(key) + "=v");
                check(object);
                check(copy);
            }
            for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(&object.at(order[i]), addresses[i]);
        }
    }
}

TEST(acf_object, assignment_from_an_entry_of_the_same_object) {
    acf_object inner;
    inner.get_or_insert("k") = "v";
    acf_object outer;
    outer.try_insert("inner", inner);
    outer.get_or_insert("other") = "x";

    acf_object copied = outer;
    copied = copied.at("inner").as_object();
    EXPECT_EQ(copied, inner);

    acf_object moved = outer;
    moved = std::move(moved.at("inner").as_object());
    EXPECT_EQ(moved, inner);

    acf_node node = outer;
    node = node.as_object().at("inner");
    EXPECT_EQ(node.as_object(), inner);
}

}  // namespace
