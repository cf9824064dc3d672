#include "acf/acf_parser.hpp"

#include <gtest/gtest.h>

#include "tests/common/expect_error.hpp"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <utility>
#include <variant>

namespace {

acf_node obj(std::initializer_list<std::pair<const char*, acf_node>> entries) {
    acf_object object;
    for (const auto& [key, value] : entries) object.try_insert(key, value);
    return object;
}

std::string describe(const acf_node& node) {
    if (node.is_text()) return "\"" + node.as_text() + "\"";
    std::string out = "{";
    for (const auto& [key, value] : node.as_object()) out += "\"" + key + "\": " + describe(value) + ", ";
    return out + "}";
}

// Every case runs both ways: the shipped reader, which passes runs of bytes
// at once, and the reference, which hands each byte to its state alone.
constexpr acf_read_mode both_modes[] = {acf_read_mode::runs, acf_read_mode::byte_by_byte};

const char* mode_name(acf_read_mode mode) { return mode == acf_read_mode::runs ? "runs" : "byte by byte"; }

acf_node read(acf_parser& parser, const std::string& text, acf_read_mode mode = acf_read_mode::runs) {
    std::istringstream input(text);
    return parser.read_acf(input, mode);
}

struct tree_case {
    const char* name;
    std::string input;
    acf_node expected;
};

TEST(acf_parser, reads_entries_into_trees) {
    const tree_case cases[] = {
        {"empty input", "", obj({})},
        {"blanks only", " \n\t\r\n ", obj({})},
        {"one text", "\"key\" \"value\"", obj({{"key", "value"}})},
        {"nested blocks", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Steam\"\n\t}\n}\n",
         obj({{"libraryfolders", obj({{"0", obj({{"path", "C:\\\\Steam"}})}})}})},
        {"first text wins", "\"k\" \"first\" \"k\" \"second\"", obj({{"k", "first"}})},
        {"repeated block merges, first text wins", "\"b\" { \"x\" \"1\" } \"b\" { \"x\" \"2\" \"y\" \"3\" }",
         obj({{"b", obj({{"x", "1"}, {"y", "3"}})}})},
        {"text after an empty block is dropped", "\"b\" {} \"b\" \"text\" \"c\" \"d\"",
         obj({{"b", obj({})}, {"c", "d"}})},
        {"braces, blanks and line ends inside quotes", "\"{ k }\" \"a }\n{ b\"", obj({{"{ k }", "a }\n{ b"}})},
        {"unquoted words are skipped", "word another\n\"k\" \"v\"", obj({{"k", "v"}})},
        {"an unquoted value is lost; the next quoted text is the value", "\"k\" unquoted \"v\" \"w\" \"x\"",
         obj({{"k", "v"}, {"w", "x"}})},
        {"key directly followed by a block", "\"k\"{\"a\"\"b\"}", obj({{"k", obj({{"a", "b"}})}})},
        {"the empty key", "\"\" \"v\"", obj({{"", "v"}})},
        {"numbers stay text", "\"n\" \"0010\"", obj({{"n", "0010"}})},
        {"input ending after an opening brace", "\"k\" {", obj({{"k", obj({})}})},
        {"blocks left open", "\"a\" { \"b\" { \"c\" \"d\"", obj({{"a", obj({{"b", obj({{"c", "d"}})}})}})},
        {"closing the root and ending", "\"a\" \"b\" }", obj({{"a", "b"}})},
        {"high bytes inside quotes, skipped outside (byte-order mark)", "\xEF\xBB\xBF\"\xC3\xA9\" \"\xD0\x96\xFF\"",
         obj({{"\xC3\xA9", "\xD0\x96\xFF"}})},
        {"comment without quotes or braces", "// a comment\n\"k\" \"v\"", obj({{"k", "v"}})},
        {"a quote in a comment starts a key", "// say \"hi\" \"there\"", obj({{"hi", "there"}})},
        {"escaped quote stays inside a text", "\"name\" \"The \\\"Big\\\" One\" \"next\" \"1\"",
         obj({{"name", "The \\\"Big\\\" One"}, {"next", "1"}})},
        {"escaped quote stays inside a key", "\"a\\\"b\" \"v\"", obj({{"a\\\"b", "v"}})},
        {"a doubled backslash before the closing quote", "\"p\" \"D:\\\\\" \"q\" \"r\"",
         obj({{"p", "D:\\\\"}, {"q", "r"}})},
        {"three backslashes and a quote", "\"p\" \"x\\\\\\\"y\" \"q\" \"r\"", obj({{"p", "x\\\\\\\"y"}, {"q", "r"}})},
        {"a backslash before another byte is kept", "\"p\" \"a\\nb\\{\"", obj({{"p", "a\\nb\\{"}})},
        // One backslash alone: the byte after it must reach the state, which
        // then takes up runs again; the rows above pair their backslashes,
        // and a pair cancels out whatever the runs got wrong.
        {"one escape inside a text", "\"p\" \"a\\nb\" \"q\" \"r\"", obj({{"p", "a\\nb"}, {"q", "r"}})},
        {"one escape at the end of a text", "\"p\" \"a\\n\" \"q\" \"r\"", obj({{"p", "a\\n"}, {"q", "r"}})},
        {"one escape inside a key", "\"a\\nb\" \"v\" \"q\" \"r\"", obj({{"a\\nb", "v"}, {"q", "r"}})},
        {"one escape at the end of a key", "\"a\\n\" \"v\" \"q\" \"r\"", obj({{"a\\n", "v"}, {"q", "r"}})},
    };
    for (acf_read_mode mode : both_modes) {
        for (const tree_case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << mode_name(mode));
            acf_parser parser;
            try {
                acf_node result = read(parser, c.input, mode);
                EXPECT_EQ(result, c.expected) << describe(result);
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }
}

struct error_case {
    const char* name;
    std::string input;
    const char* message;
    bool bad_access;  // acf_bad_access rather than std::runtime_error
};

TEST(acf_parser, reports_malformed_input) {
    const error_case cases[] = {
        {"block without key at the start", "{", "not a valid place to open a subobject", false},
        {"block right after a text", "\"a\" \"b\" {", "not a valid place to open a subobject", false},
        {"two opening braces", "\"a\" {{", "not a valid place to open a subobject", false},
        {"key then closing brace", "\"a\" }", "not a valid place to close a subobject", false},
        {"end inside a key", "\"ke", "premature end of file", false},
        {"end after a key", "\"key\"  ", "premature end of file", false},
        {"end inside a text", "\"key\" \"val", "premature end of file", false},
        {"end after an escaped quote", "\"key\" \"val\\\"", "premature end of file", false},
        {"block under a key holding text", "\"k\" \"text\" \"k\" {", "bad variant access", true},
        {"text after the root was closed", "} \"a\" \"b\"", "no open block to store a value in", false},
        {"block after the root was closed", "} \"a\" {", "not a valid place to open a subobject", false},
        {"closing brace after the root was closed", "}}", "not a valid place to close a subobject", false},
    };
    for (acf_read_mode mode : both_modes) {
        for (const error_case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << mode_name(mode));
            acf_parser parser;
            auto read_input = [&] { read(parser, c.input, mode); };
            if (c.bad_access) {
                expect_error<std::bad_variant_access>(read_input, c.message);
            } else {
                expect_error<std::runtime_error>(read_input, c.message);
            }
        }
    }
}

TEST(acf_parser, texts_and_escapes_that_span_read_blocks_are_whole) {
    // The reader fetches 64 KiB at a time; put escapes and quotes around the
    // block boundary at every offset near it.
    for (std::size_t shift = 0; shift < 6; ++shift) {
        SCOPED_TRACE(shift);
        const std::string prefix = "\"k\" \"";
        std::string text(65536 - prefix.size() - 3 + shift, 'a');
        text += "\\\"{}\\\\";
        std::string input = prefix + text + "\" \"next\" { \"x\" \"y\" }";
        for (acf_read_mode mode : both_modes) {
            acf_parser parser;
            EXPECT_EQ(read(parser, input, mode), obj({{"k", acf_node(text)}, {"next", obj({{"x", "y"}})}}));
        }
    }
}

TEST(acf_parser, a_failed_stream_reads_as_an_empty_object) {
    for (acf_read_mode mode : both_modes) {
        acf_parser parser;
        std::istringstream input("\"k\" \"v\"");
        input.setstate(std::ios::failbit);
        EXPECT_EQ(parser.read_acf(input, mode), obj({}));
    }
}

TEST(acf_parser, every_read_starts_afresh_and_results_are_independent) {
    acf_parser parser;
    acf_node first = read(parser, "\"a\" { \"x\" \"1\" }");
    EXPECT_THROW(read(parser,
                      "\"b\" { \"y\" \"2\" "
                      "\"z\" "),
                 std::runtime_error);
    acf_node second = read(parser, "\"c\" \"3\"");
    EXPECT_EQ(second, obj({{"c", "3"}}));
    EXPECT_EQ(first, obj({{"a", obj({{"x", "1"}})}}));
    first.as_object().get_or_insert("added");
    EXPECT_EQ(parser.root, obj({{"c", "3"}}));
}

}  // namespace

namespace {

std::string nested(int levels) {
    std::string input;
    for (int i = 0; i < levels; ++i) input += "\"a\"{";
    return input + "\"k\" \"v\"";
}

TEST(acf_parser, blocks_nest_up_to_256_levels) {
    acf_parser parser;
    acf_node tree = read(parser, nested(256));
    const acf_node* level = &tree;
    for (int i = 0; i < 256; ++i) level = &level->as_object().at("a");
    EXPECT_EQ(level->as_object().at("k").as_text(), "v");

    // Deeper would make copying and destroying the tree overflow the stack.
    for (int levels : {257, 100000}) {
        SCOPED_TRACE(levels);
        expect_error<std::runtime_error>([&] { read(parser, nested(levels)); },
                                         "blocks nested more than 256 levels deep");
    }
}

// Hands out `text` padded with blanks to whole blocks of the reader's size
// (a short block would read as the end), then fails the next read, as a
// file whose disk gives up.
class failing_buffer : public std::streambuf {
public:
    explicit failing_buffer(std::string text) : text_(std::move(text)) {
        if (!text_.empty()) text_.resize((text_.size() / block + 1) * block, ' ');
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

protected:
    int_type underflow() override { throw std::ios_base::failure("the disk gave up"); }

private:
    static constexpr std::size_t block = 1 << 16;
    std::string text_;
};

TEST(acf_parser, a_read_error_ends_the_input_like_its_end) {
    struct read_error_case {
        const char* name;
        std::string before_error;
        std::optional<acf_node> tree;  // none: "premature end of file"
    };
    const read_error_case cases[] = {
        {"at the start", "", obj({})},
        {"between entries, blocks open", "\"a\" \"b\" \"c\" { \"d\" \"e\"",
         obj({{"a", "b"}, {"c", obj({{"d", "e"}})}})},
        {"inside a text", "\"a\" \"unfinished", std::nullopt},
    };
    for (acf_read_mode mode : both_modes) {
        for (const read_error_case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << mode_name(mode));
            failing_buffer buffer(c.before_error);
            std::istream input(&buffer);
            acf_parser parser;
            if (c.tree) {
                EXPECT_EQ(parser.read_acf(input, mode), *c.tree);
                EXPECT_TRUE(input.bad());
            } else {
                EXPECT_THROW(parser.read_acf(input, mode), std::runtime_error);
            }
        }
    }
}

#ifndef _WIN32
TEST(acf_parser, a_folder_opened_as_a_file_reads_as_an_empty_object) {
    // Opening a folder as a file succeeds on Linux (not on Windows), and its
    // first read fails inside the file buffer.
    std::ifstream folder(".");
    ASSERT_TRUE(folder.is_open());
    acf_parser parser;
    EXPECT_EQ(parser.read_acf(folder), obj({}));
}
#endif

}  // namespace
