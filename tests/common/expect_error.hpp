#pragma once
// The one way the tests require an error: `action` must throw an `Error`
// (an exception of another kind fails the test as gtest reports it).
#include <gtest/gtest.h>

#include <exception>
#include <string_view>

// ... and hand it to `check`.
template <class Error = std::exception, class Action, class Check>
void expect_error_that(Action&& action, Check&& check) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        check(error);
    }
}

// ... whose message is `message`.
template <class Error = std::exception, class Action>
void expect_error(Action&& action, std::string_view message) {
    expect_error_that<Error>(action, [&](const Error& error) { EXPECT_EQ(std::string_view(error.what()), message); });
}
