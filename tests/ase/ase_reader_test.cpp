#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <string>

#include "ase/ase_reader.h"

namespace tarvel {
namespace {

TEST(AseReader, reads_star_and_keyword_and_stops_before_the_blank) {
    AseReader in("  \t*GEOMOBJECT {\n");
    EXPECT_EQ(in.ReadChar(), '*');
    EXPECT_EQ(in.ReadToken(), "GEOMOBJECT");
    EXPECT_EQ(in.ReadChar(), '{');
    EXPECT_FALSE(in.AtEnd());
}

TEST(AseReader, int_leaves_the_colon_for_the_next_reader) {
    AseReader in("0:    A:");
    EXPECT_EQ(in.ReadInt(), 0);
    EXPECT_EQ(in.ReadChar(), ':');
    EXPECT_EQ(in.ReadToken(), "A:");
}

TEST(AseReader, float_at_line_end_leaves_the_line_feed) {
    // Were the line feed taken, SkipLine would swallow the next line.
    AseReader in("1.0000\nNEXT");
    EXPECT_EQ(in.ReadFloat(), 1.0f);
    in.SkipLine();
    EXPECT_EQ(in.ReadToken(), "NEXT");
}

TEST(AseReader, a_value_missing_reads_as_zero_and_leaves_the_star) {
    AseReader in(" \t*MESH_MTLID 1");
    EXPECT_EQ(in.ReadInt(), 0);
    EXPECT_EQ(in.ReadToken(), "*MESH_MTLID");
    EXPECT_EQ(in.ReadInt(), 1);
}

struct IntCase {
    const char* text;
    int32_t value;
    char next;  // what ReadChar finds afterwards; 0 for nothing left
};

TEST(AseReader, int_sign_rules_and_wrap_modulo_2_pow_32) {
    const IntCase cases[] = {
        {"42 x", 42, 'x'},
        {"-7 x", -7, 'x'},
        {"+7 x", 7, 'x'},
        {"3-4 x", 34, 'x'},  // a later sign is consumed and ignored
        {"--5 x", -5, 'x'},
        {"abc", 0, 'a'},
        {"2147483647 x", INT_MAX, 'x'},
        {"2147483648 x", INT_MIN, 'x'},
        {"4294967297 x", 1, 'x'},
        {"-2147483648 x", INT_MIN, 'x'},
        {"99999999999999999999 x", 1661992959, 'x'},
        {"12,5", 12, ','},
    };
    for (const IntCase& c : cases) {
        AseReader in(c.text);
        EXPECT_EQ(in.ReadInt(), c.value) << c.text;
        EXPECT_EQ(in.ReadChar(), c.next) << c.text;
    }
}

TEST(AseReader, float_examples_of_the_readers_rules) {
    const std::pair<const char*, float> cases[] = {
        {"0.5000", 0.5f},
        {"-12.25", -12.25f},
        {".5", 0.5f},
        {"7.", 7.0f},
        {"1.5e-3", -1.53f},  // e ignored, "-" negates, 3 extends the fraction
        {"1.2.5", 1.25f},    // a second point changes nothing
        {"+3,5", 35.0f},     // "+" and the comma are ignored
        {"x", 0.0f},
        {"-0", -0.0f},
        // Rounded after every digit: 16777217 becomes 16777216 before the
        // last digit; rounding once would give 167772176.
        {"167772171", 167772160.0f},
    };
    for (const auto& [text, value] : cases) {
        AseReader in(text);
        const float got = in.ReadFloat();
        EXPECT_EQ(got, value) << text;
        EXPECT_EQ(std::signbit(got), std::signbit(value)) << text;
    }
}

TEST(AseReader, float_of_an_overlong_fraction_does_not_trap) {
    AseReader in("0." + std::string(60, '1'));
    EXPECT_TRUE(std::isnan(in.ReadFloat()));  // F and D both overflow
}

TEST(AseReader, quoted_drops_every_quote_and_keeps_spaces) {
    AseReader in("  \"C:\\maps\\road.tga\"\n\"my road\"  \t\"a\"b\"\"");
    EXPECT_EQ(in.ReadQuoted(), "C:\\maps\\road.tga");
    EXPECT_EQ(in.ReadQuoted(), "my road  ");
    EXPECT_EQ(in.ReadQuoted(), "ab");
}

TEST(AseReader, quoted_stops_at_a_line_break_or_a_high_byte) {
    AseReader broken("\"road\ntga\"");
    EXPECT_EQ(broken.ReadQuoted(), "road");
    EXPECT_EQ(broken.ReadToken(), "tga\"");

    AseReader accented("\"C:\\maps\\caf\xc3\xa9.tga\"");
    EXPECT_EQ(accented.ReadQuoted(), "C:\\maps\\caf");
}

TEST(AseReader, quoted_keeps_9999_characters_and_drops_the_rest_of_the_run) {
    AseReader in("\"" + std::string(12000, 'x') + "\"\nNEXT");
    const std::string text = in.ReadQuoted();
    EXPECT_EQ(text, std::string(9998, 'x'));  // the opening quote was the first of 9999
    EXPECT_EQ(in.ReadToken(), "NEXT");
}

TEST(AseReader, high_bytes_are_blanks_between_tokens_and_end_a_token) {
    AseReader in(
        "\x80\xff"
        "AB\xc3\x89"
        "CD");
    EXPECT_EQ(in.ReadToken(), "AB");
    EXPECT_EQ(in.ReadToken(), "CD");
}

TEST(AseReader, skip_line_takes_the_line_feed_and_nothing_more) {
    AseReader in("rest of line\n*NEXT");
    in.SkipLine();
    EXPECT_EQ(in.ReadChar(), '*');
}

// Once the end has been met the mark stays, and every reader returns its
// empty value; ReadChar hands back the last character of the file.
TEST(AseReader, after_the_end_readers_give_empty_values) {
    AseReader in("*KEY 12");
    EXPECT_EQ(in.ReadChar(), '*');
    EXPECT_EQ(in.ReadToken(), "KEY");
    EXPECT_FALSE(in.AtEnd());
    EXPECT_EQ(in.ReadInt(), 12);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.ReadInt(), 0);
    EXPECT_EQ(in.ReadToken(), "");
    EXPECT_EQ(in.ReadFloat(), 0.0f);
    EXPECT_EQ(in.ReadQuoted(), "");
    EXPECT_EQ(in.ReadChar(), '2');
    EXPECT_EQ(in.ReadChar(), '2');
    in.SkipLine();
    EXPECT_TRUE(in.AtEnd());
}

TEST(AseReader, skip_line_at_the_end_steps_back_onto_the_last_character) {
    AseReader in("}");
    EXPECT_EQ(in.ReadChar(), '}');
    EXPECT_FALSE(in.AtEnd());
    in.SkipLine();
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.ReadChar(), '}');
}

TEST(AseReader, blanks_before_the_end_give_back_the_final_character) {
    const std::pair<const char*, char> cases[] = {
        {"}\n", '\n'},       {"}\r\n", '\n'},  // CR LF arrives as one LF
        {"}\n  \t\n", '\n'}, {"}\r", '\r'},    // a lone CR stays
        {"}\n\r", '\r'},
    };
    for (const auto& [text, last] : cases) {
        AseReader in(text);
        EXPECT_EQ(in.ReadChar(), '}');
        in.SkipLine();
        EXPECT_EQ(in.ReadChar(), last) << text;
        EXPECT_TRUE(in.AtEnd()) << text;
    }
}

TEST(AseReader, empty_text_reads_as_zero_characters) {
    AseReader in("");
    EXPECT_EQ(in.ReadChar(), '\0');
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.ReadToken(), "");
    EXPECT_EQ(in.ReadInt(), 0);
    in.SkipLine();
    EXPECT_EQ(in.ReadChar(), '\0');
}

TEST(AseReader, load_fails_on_a_missing_file_and_on_a_directory) {
    EXPECT_FALSE(AseReader::Load(TARVEL_EXAMPLES_DIR "/no_such_file.ase").has_value());
    EXPECT_FALSE(AseReader::Load(TARVEL_EXAMPLES_DIR).has_value());
}

TEST(AseReader, load_reads_the_bundled_example) {
    std::optional<AseReader> in = AseReader::Load(TARVEL_EXAMPLES_DIR "/village.ase");
    ASSERT_TRUE(in.has_value());
    EXPECT_EQ(in->ReadChar(), '*');
    EXPECT_EQ(in->ReadToken(), "3DSMAX_ASCIIEXPORT");
}

// CR LF to LF, one character at a time.
std::string FoldedByHand(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            out.push_back(text[i]);
        }
    }
    return out;
}

TEST(AseReader, tokens_and_lines_of_random_text_follow_the_folded_text) {
    std::mt19937 rng(7);
    const char alphabet[] = {'\r', '\n', ' ', 'x', 'y'};
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 48, ' ');
        for (char& c : text) {
            c = alphabet[rng() % sizeof alphabet];
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        const std::string folded = FoldedByHand(text);
        AseReader in(text);
        std::size_t p = 0;
        for (;;) {
            while (p < folded.size() && folded[p] <= ' ') {
                ++p;
            }
            std::size_t stop = p;
            while (stop < folded.size() && folded[stop] > ' ') {
                ++stop;
            }
            ASSERT_EQ(in.ReadToken(), folded.substr(p, stop - p));
            if (stop == folded.size()) {
                EXPECT_TRUE(in.AtEnd());
                break;
            }
            ASSERT_FALSE(in.AtEnd());
            in.SkipLine();
            const std::size_t lineEnd = folded.find('\n', stop);
            if (lineEnd == std::string::npos) {
                EXPECT_TRUE(in.AtEnd());
                break;
            }
            ASSERT_FALSE(in.AtEnd());
            p = lineEnd + 1;
        }
    }
}

}  // namespace
}  // namespace tarvel
