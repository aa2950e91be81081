#include <gtest/gtest.h>

#include <string>

#include "common/cp1252.h"
#include "common/readfile.h"
#include "production/ProduktionDat.h"
#include "support/Files.h"

namespace krvx {
namespace {

ProduktionEingaben beispiel() {
    return {{"100", "0", "0", "0", "0"}, {"250", "0", "0", "0", "0"}, ""};
}

// Texts the boxes can hold that the unquoted form cannot carry, plus a
// non-ASCII text in the middle of a line (its zone counted in characters).
ProduktionEingaben sonderfaelle() {
    return {{" 1200", "Größe", "", "12345678901234", "187,5"},
            {"say \"hi\"", "12345678901234567890", "-5", "1E+20", "\""},
            "2,5"};
}

void erwarteGleich(const ProduktionGelesen& gelesen, const ProduktionEingaben& e) {
    for (std::size_t i = 0; i < kZeilenAnzahl; ++i) {
        EXPECT_EQ(gelesen.produktion[i], e.produktion[i]) << "production " << i;
        EXPECT_EQ(gelesen.ziel[i], e.ziel[i]) << "target " << i;
    }
    EXPECT_EQ(gelesen.dauer, e.dauer);
}

TEST(ProduktionDat, WritesTheGoldenFilesByteForByte) {
    const std::pair<const char*, ProduktionEingaben> faelle[] = {{"beispiel.dat", beispiel()},
                                                                 {"sonderfaelle.dat", sonderfaelle()}};
    for (const auto& [name, eingaben] : faelle) {
        EXPECT_EQ(utf8ToCp1252(produktionContent(eingaben)), test::golden("production", name)) << name;

        const auto gelesen = loadDataFile(test::goldenPath("production", name), parseProduktion).ifRead();
        ASSERT_TRUE(gelesen) << name;
        erwarteGleich(*gelesen, eingaben);
    }
}

// Every kind of text in every one of the eleven places reads back unchanged.
TEST(ProduktionDat, EveryTextRoundTripsInEveryPlace) {
    const std::string texte[] = {"",
                                 " ",
                                 "0",
                                 " 1200",
                                 "1200 ",
                                 "187,5",
                                 "1.234,5",
                                 "a,b,c",
                                 "\"",
                                 "\"\"",
                                 "\"quoted\"",
                                 "x\"y",
                                 ", ",
                                 "\t",
                                 "12345678901234",
                                 "1234567890123",
                                 "123456789012345678901234567890",
                                 "-01:30",
                                 "&H1F",
                                 "Öl und Größe €",
                                 "1E+20",
                                 "'",
                                 ";"};
    for (const std::string& text : texte) {
        for (std::size_t platz = 0; platz < 2 * kZeilenAnzahl + 1; ++platz) {
            ProduktionEingaben e{{"1", "2", "3", "4", "5"}, {"6", "7", "8", "9", "10"}, "11"};
            if (platz < kZeilenAnzahl)
                e.produktion[platz] = text;
            else if (platz < 2 * kZeilenAnzahl)
                e.ziel[platz - kZeilenAnzahl] = text;
            else
                e.dauer = text;
            SCOPED_TRACE("text '" + text + "' in place " + std::to_string(platz));
            erwarteGleich(parseProduktion(produktionContent(e)), e);
        }
    }
}

TEST(ProduktionDat, ReadsFilesWrittenElsewhere) {
    using Texte = std::array<std::optional<std::string>, kZeilenAnzahl>;
    const std::optional<std::string> keiner;
    struct Fall {
        const char* name;
        std::string inhalt;
        Texte produktion;
        Texte ziel;
        std::optional<std::string> dauer;
    };
    const Fall faelle[] = {
        {"LF line ends", "1 2 3 4 5\n6 7 8 9 10\n2.5\n", {"1", "2", "3", "4", "5"}, {"6", "7", "8", "9", "10"}, "2.5"},
        {"commas and blanks",
         "1,2, 3 ,4,5\r\n,7,,9,\r\n x \r\n",
         {"1", "2", "3", "4", "5"},
         {"", "7", "", "9", ""},
         "x"},
        {"no last line end",
         "1 2 3 4 5\r\n6 7 8 9 10\r\n7",
         {"1", "2", "3", "4", "5"},
         {"6", "7", "8", "9", "10"},
         "7"},
        {"empty file", "", {}, {}, keiner},
        {"one short line", "100 200\r\n", {"100", "200", keiner, keiner, keiner}, {}, keiner},
        {"short lines stay on their line",
         "1 2\r\n3\r\n",
         {"1", "2", keiner, keiner, keiner},
         {"3", keiner, keiner, keiner, keiner},
         keiner},
        {"surplus values ignored",
         "1 2 3 4 5 6 7\r\n8 9 10 11 12 13\r\n14 15\r\n",
         {"1", "2", "3", "4", "5"},
         {"8", "9", "10", "11", "12"},
         "14"},
        {"lines of blanks only",
         "1 2 3 4 5\r\n \t\r\n  ",
         {"1", "2", "3", "4", "5"},
         {"", keiner, keiner, keiner, keiner},
         ""},
        {"empty lines", "\r\n\r\n\r\n", {"", keiner, keiner, keiner, keiner}, {"", keiner, keiner, keiner, keiner}, ""},
        {"unclosed quote", "\"abc 1 2\r\n", {"abc 1 2\r\n", keiner, keiner, keiner, keiner}, {}, keiner},
        {"text after a closing quote dropped", "\"a\"b c\r\n", {"a", "c", keiner, keiner, keiner}, {}, keiner},
        {"a decimal comma of an old file splits",
         "0 0 0 0 0\r\n187,5 0 0 0 0\r\n1,5\r\n",
         {"0", "0", "0", "0", "0"},
         {"187", "5", "0", "0", "0"},
         "1"},
        {"binary garbage",
         std::string("\x01\x02 \xff\r\n", 6),
         {"\x01\x02", "\xff", keiner, keiner, keiner},
         {},
         keiner},
    };
    for (const Fall& f : faelle) {
        const ProduktionGelesen g = parseProduktion(f.inhalt);
        EXPECT_EQ(g.produktion, f.produktion) << f.name;
        EXPECT_EQ(g.ziel, f.ziel) << f.name;
        EXPECT_EQ(g.dauer, f.dauer) << f.name;
    }
}

} // namespace
} // namespace krvx
