#include "common/fields.h"

#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace krvx {
namespace {

// Reads a whole content with one kind of reading, calling it until atEnd(),
// and writes down what each call gave ("<none>" for nullopt).
enum class Read { Text, Number, Value, Word };

std::string describe(const std::optional<FieldValue>& v) {
    if (!v) return "<none>";
    if (v->isEmpty()) return "<empty>";
    if (v->isNumber()) return "#" + std::to_string(std::get<double>(v->value));
    return "'" + std::get<std::string>(v->value) + "'";
}

std::vector<std::string> readAll(const std::string& content, Read kind) {
    FieldReader reader(content);
    std::vector<std::string> out;
    for (int guard = 0; !reader.atEnd() && guard < 100; ++guard) {
        switch (kind) {
        case Read::Text:
            out.push_back(reader.readText().value_or("<none>"));
            break;
        case Read::Word:
            out.push_back(reader.readWord().value_or("<none>"));
            break;
        case Read::Number: {
            const auto n = reader.readNumber();
            out.push_back(n ? std::to_string(*n) : "<none>");
            break;
        }
        case Read::Value:
            out.push_back(describe(reader.readValue()));
            break;
        }
    }
    return out;
}

struct ReadCase {
    const char* name;
    std::string content;
    Read kind;
    std::vector<std::string> expected;
};

class FieldReaderTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(FieldReaderTest, ReadsFieldsInSequence) {
    EXPECT_EQ(readAll(GetParam().content, GetParam().kind), GetParam().expected);
}

std::string n(double v) {
    return std::to_string(v);
}
std::string num(double v) {
    return "#" + std::to_string(v);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldReaderTest,
    ::testing::Values(
        ReadCase{
            "QuotedTextKeepsCommasAndBlanks", "\"Neues, Schiff \"\r\n\"b\"\r\n", Read::Text, {"Neues, Schiff ", "b"}},
        ReadCase{"AfterTheClosingQuoteRestOfFieldIsSkipped", "\"a\"xyz,\"b\" \r\n", Read::Text, {"a", "b"}},
        ReadCase{"QuoteInsideAnUnquotedText", "ab\"c,d\r\n", Read::Text, {"ab\"c", "d"}},
        ReadCase{"UnterminatedQuoteRunsToTheEnd", "\"abc\r\nxyz", Read::Text, {"abc\r\nxyz"}},
        ReadCase{"TextTrimsBlanksOnBothSides", "  Heimat  \r\n\tTab\tx \n", Read::Text, {"Heimat", "Tab\tx"}},
        ReadCase{"EmptyLinesAreEmptyTexts", "a\r\n\r\n\nb", Read::Text, {"a", "", "", "b"}},
        ReadCase{"LoneCarriageReturnEndsALine", "a\rb\r", Read::Text, {"a", "b"}},
        ReadCase{"UmlautsPassUnchanged", "\"Zerstörer Ä\",Größe\r\n", Read::Text, {"Zerstörer Ä", "Größe"}},
        ReadCase{"PrintStyleNumbers", " 1 \r\n 12 \r\n-3 \r\n", Read::Number, {n(1), n(12), n(-3)}},
        ReadCase{"RecordStyleNumbers",
                 "500,250,0,20,0\r\n12\r\n30\r\n",
                 Read::Number,
                 {n(500), n(250), n(0), n(20), n(0), n(12), n(30)}},
        ReadCase{"ABlankEndsANumber", "1 000\r\n", Read::Number, {n(1), n(0)}},
        ReadCase{"BlanksBeforeAComma", "5   ,6\r\n", Read::Number, {n(5), n(6)}},
        ReadCase{"DecimalForms",
                 ".5,-2.5,1E+20,1D2,&H1F,2.5\n",
                 Read::Number,
                 {n(0.5), n(-2.5), n(1e20), n(100), n(31), n(2.5)}},
        ReadCase{"RadixFormsInEitherCase", "&H1,&h1f,&o17,&O\n", Read::Number, {n(1), n(31), n(15), "<none>"}},
        ReadCase{"QuotedNumberIsReadAsNumber", "\"7\",\" 8 \"\r\n", Read::Number, {n(7), n(8)}},
        ReadCase{"NonNumericAndEmptyFieldsHoldNoNumber",
                 "abc,,3x,1E400,4\r\n",
                 Read::Number,
                 {"<none>", "<none>", "<none>", "<none>", n(4)}},
        ReadCase{"ValuesOfEveryKind",
                 "1.5,\"Text\",,abc def ,7\r\n\r\n",
                 Read::Value,
                 {num(1.5), "'Text'", "<empty>", "'abc def'", num(7), "<empty>"}},
        ReadCase{"QuotedDigitsStayText", "\"12\"\r\n", Read::Value, {"'12'"}},
        ReadCase{"TextStartingWithDigits", "12 Affen,5\r\n", Read::Value, {"'12 Affen'", num(5)}},
        ReadCase{"PrintZonesAsWords",
                 "0             1500          abc           \"1,5\"         x\r\nrest\r\n",
                 Read::Word,
                 {"0", "1500", "abc", "1,5", "x", "rest"}},
        ReadCase{"EmptyWordAtALineEnd", "a\r\n\r\n", Read::Word, {"a", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldReader, EndOfFileComesAfterTheLastLineEnd) {
    // Last record ended by one line end: at the end; an extra empty line is
    // one more (empty) record.
    struct Case {
        std::string content;
        int fieldsBeforeEnd;
    };
    const Case cases[] = {{"", 0},      {"\"a\"\r\n", 1}, {"\"a\"", 1},   {"\"a\"\r\n\r\n", 2},
                          {"1\r\n", 1}, {" 1 \r\n", 1},   {"1,2\r\n", 2}, {"1\n", 1}};
    for (const Case& c : cases) {
        FieldReader reader(c.content);
        int count = 0;
        while (!reader.atEnd() && count < 10) {
            reader.readText();
            ++count;
        }
        EXPECT_EQ(count, c.fieldsBeforeEnd) << '"' << c.content << '"';
    }
}

TEST(FieldReader, EveryReadingGivesNothingAtTheEnd) {
    FieldReader reader("x   ");
    EXPECT_EQ(reader.readText(), "x");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readText(), std::nullopt);
    EXPECT_EQ(reader.readNumber(), std::nullopt);
    EXPECT_EQ(reader.readValue(), std::nullopt);
    EXPECT_EQ(reader.readWord(), std::nullopt);

    FieldReader blanks("   ");
    EXPECT_FALSE(blanks.atEnd());
    EXPECT_EQ(blanks.readNumber(), std::nullopt);
    EXPECT_TRUE(blanks.atEnd());
}

TEST(FieldNumber, WholeFieldMustBeANumber) {
    EXPECT_EQ(fieldNumber(" 2.5 "), 2.5);
    EXPECT_EQ(fieldNumber("&O17"), 15);
    EXPECT_EQ(fieldNumber("&O18"), std::nullopt);
    EXPECT_EQ(fieldNumber("&H"), std::nullopt);
    EXPECT_EQ(fieldNumber("1,5"), std::nullopt);
    EXPECT_EQ(fieldNumber(""), std::nullopt);
    EXPECT_EQ(fieldNumber("1E"), std::nullopt);
    // Beyond the double range, also in hexadecimal and octal: out of range, never infinite.
    EXPECT_EQ(fieldNumber("1.79769313486232E+308"), std::nullopt);
    EXPECT_EQ(fieldNumber("&H" + std::string(256, 'F')), std::nullopt);
    EXPECT_EQ(fieldNumber("&O" + std::string(342, '7')), std::nullopt);
    EXPECT_EQ(fieldNumber("&H" + std::string(255, 'F')), 0x1p1020); // the largest still within it
}

TEST(RecordWriter, WritesRecordStyleLines) {
    RecordWriter w;
    w.text("Neues Schiff").endLine();
    w.integer(500).integer(250).integer(0).integer(20).integer(-7).endLine();
    w.number(1.5).number(2).number(0.5).number(-0.25).number(1e20).endLine();
    w.value(FieldValue{}).endLine();
    w.value(FieldValue{std::string("Notiz, mit Komma")}).value(FieldValue{3.0}).empty().endLine();
    w.text("Sag \"Hallo\"").endLine();
    w.text("\"Hallo\", sagt er").endLine();
    w.empty().text("").endLine();
    EXPECT_EQ(w.str(),
              "\"Neues Schiff\"\r\n"
              "500,250,0,20,-7\r\n"
              "1.5,2,.5,-.25,1E+20\r\n"
              "\r\n"
              "\"Notiz, mit Komma\",3,\r\n"
              "Sag \"Hallo\"\r\n" // reads back unquoted as it is
              "\"'Hallo', sagt er\"\r\n"
              ",\"\"\r\n");
}

TEST(RecordWriter, WhatItWritesReadsBack) {
    RecordWriter w;
    w.text("Zerstörer, schwer").number(-2.5).empty().number(1.5e-7).endLine().value(FieldValue{}).endLine();
    FieldReader r(w.str());
    EXPECT_EQ(r.readValue(), FieldValue{std::string("Zerstörer, schwer")});
    EXPECT_EQ(r.readValue(), FieldValue{-2.5});
    EXPECT_EQ(r.readValue(), FieldValue{});
    EXPECT_EQ(r.readValue(), FieldValue{1.5e-7});
    EXPECT_EQ(r.readValue(), FieldValue{});
    EXPECT_TRUE(r.atEnd());
}

// Every number the writer stores reads back as a number: the largest doubles,
// whose 15 digits round beyond the range, with the digits that give them back.
TEST(RecordWriter, TheLargestDoublesReadBackExactly) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {std::numeric_limits<double>::max(), "1.7976931348623157E+308"},
        {-std::numeric_limits<double>::max(), "-1.7976931348623157E+308"},
        {1.797693134862315e308, "1.797693134862315E+308"},
        {1.79769313486231e308, "1.79769313486231E+308"}, // fits in 15 digits: as before
        {1.5e300, "1.5E+300"},
    };
    for (const Case& c : cases) {
        RecordWriter w;
        w.number(c.value);
        EXPECT_EQ(w.str(), c.text);
        EXPECT_EQ(fieldNumber(w.str()), c.value) << c.text;
    }
}

TEST(PrintWriter, ZonesAndNumbers) {
    struct Case {
        std::string actual;
        std::string expected;
    };
    const std::string zeros = std::string("0") + std::string(13, ' ');
    const Case cases[] = {
        {PrintWriter().text("0").text("0").text("0").text("0").text("0").endLine().str(),
         zeros + zeros + zeros + zeros + "0\r\n"},
        {PrintWriter().number(3).endLine().str(), " 3 \r\n"},
        {PrintWriter().number(-5).endLine().str(), "-5 \r\n"},
        {PrintWriter().number(12).number(0.5).endLine().str(), " 12 " + std::string(10, ' ') + " .5 \r\n"},
        {PrintWriter().text("Heimat").endLine().number(1).endLine().str(), "Heimat\r\n 1 \r\n"},
        // 13 characters: one blank to the next zone; 14 characters: a zone further.
        {PrintWriter().text("abcdefghijklm").text("x").endLine().str(), "abcdefghijklm x\r\n"},
        {PrintWriter().text("abcdefghijklmn").text("x").endLine().str(),
         "abcdefghijklmn" + std::string(14, ' ') + "x\r\n"},
        {PrintWriter().text("abcdefghijklmnopq").text("x").endLine().str(),
         "abcdefghijklmnopq" + std::string(11, ' ') + "x\r\n"},
        // Zones count characters, not bytes.
        {PrintWriter().text("Größe").text("x").endLine().str(), "Größe" + std::string(9, ' ') + "x\r\n"},
        {PrintWriter().text("").text("x").endLine().str(), std::string(14, ' ') + "x\r\n"},
        {PrintWriter().endLine().str(), "\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(PrintWriter, WhatItWritesReadsBackAsWords) {
    PrintWriter w;
    w.text("abcdefghijklmn").text("1500").number(-2.5).text("x").text("\"2,5\"").endLine();
    w.number(7).endLine();
    FieldReader r(w.str());
    for (const char* expected : {"abcdefghijklmn", "1500", "-2.5", "x", "2,5", "7"}) EXPECT_EQ(r.readWord(), expected);
    EXPECT_TRUE(r.atEnd());
}

} // namespace
} // namespace krvx
