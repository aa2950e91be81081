#pragma once
// The field reader that reads both writing styles of the data files, the
// two writers: the record style (commas, quoted texts) and the print style
// (unquoted texts, numbers with a sign position and a trailing blank, 14-column
// print zones), and the one rule of when a text is written in quotes.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace krvx {

// A general value as the record style carries it: nothing, a number or a text.
struct FieldValue {
    std::variant<std::monostate, double, std::string> value;
    bool isEmpty() const { return std::holds_alternative<std::monostate>(value); }
    bool isNumber() const { return std::holds_alternative<double>(value); }
    bool isText() const { return std::holds_alternative<std::string>(value); }
    bool operator==(const FieldValue&) const = default;
};

// How a double quote stands inside a quoted text: not at all (it ends the
// text; writers put an apostrophe in its place), or doubled.
enum class QuoteInside { Apostrophe, Doubled };

// Reads fields in sequence from decoded file content. Line ends (CR LF, LF, CR)
// count as separators, so records may be spread over lines in any way.
class FieldReader {
public:
    explicit FieldReader(std::string content, QuoteInside inside = QuoteInside::Apostrophe);

    // End of file: true once nothing but the end remains. A trailing CR LF of
    // the last record is consumed with its field, so a file that ends with one
    // line end is at its end after its last field; an extra empty line is not.
    bool atEnd() const;

    // A text field: blanks and tabs before it skipped; a field that begins with
    // a double quote runs to its closing quote (quotes dropped, a doubled one
    // taken as one where the reader was made so, then
    // everything up to and including the following comma or line end skipped);
    // otherwise it runs to the next comma or line end, its trailing blanks
    // dropped or kept as asked. nullopt at the end of the file.
    enum class TrailingBlanks { Drop, Keep };
    std::optional<std::string> readText(TrailingBlanks trailing = TrailingBlanks::Drop);

    // A numeric field: blanks before it skipped; it ends at a blank, a comma or
    // a line end (the separator consumed, with a following comma or line end
    // after blanks). A quoted field is taken as its text read as a number.
    // nullopt at the end of the file or when the field holds no number.
    std::optional<double> readNumber();

    // A general value of the record style, where a field ends at a comma or a
    // line end: empty for nothing between separators, a number for an unquoted
    // field that is wholly a number (blanks around it allowed), a text for a
    // quoted one or any other unquoted text. nullopt at the end of the file.
    std::optional<FieldValue> readValue();

    // Fills the holders in order with the next general values. The end of the
    // file stops the filling: the holders not reached keep what they held, so
    // a set of holders carries a value from one record into the next.
    void readValues(std::span<FieldValue> holders);

    // A field of the print style, where a blank also ends an unquoted field:
    // blanks before it skipped; a quoted field is the text between the quotes
    // and ends at the next blank, comma or line end after it; otherwise the
    // characters up to a blank, a comma or a line end. The separator is
    // consumed as in readNumber. nullopt at the end of the file.
    std::optional<std::string> readWord();

    // Whether the field read last stood in double quotes.
    bool lastFieldQuoted() const { return lastQuoted_; }
    // Whether the field read last ended its line: at a line end, at the end
    // of the file, or as no field (nullopt); not at a comma or a blank.
    bool lineEnded() const { return lineEnded_; }

private:
    bool startField();
    void skipBlanks();
    void consumeSeparator();
    std::string takeQuoted(bool blankEnds);
    std::string takeToken();

    std::string content_;
    QuoteInside inside_;
    std::size_t pos_ = 0;
    bool lastQuoted_ = false;
    bool lineEnded_ = false;
};

// The number a whole field holds, read with '.' as decimal point (sign,
// digits, exponent with E or D, &H and &O whole numbers; blanks around it
// allowed); nullopt for an empty field, any other text, or a value beyond the
// double range (also an &H or &O number of that many digits).
std::optional<double> fieldNumber(std::string_view text);

// How a file format writes a text: as it stands where the format's own reading
// gives it back unchanged, else in double quotes. needsQuotes is that rule;
// each format names its variant.
struct Quoting {
    // The format's reading of one text field, given the text written as it
    // stands and ended by a line end; nullopt where it reads no text.
    std::function<std::optional<std::string>(FieldReader&)> read;
    // A double quote inside quotes. Where it is doubled, a text holding one
    // is always quoted; else only where it does not read back unquoted.
    QuoteInside inside = QuoteInside::Apostrophe;
    // Every text that the quotes carry unchanged is quoted (the record style).
    bool quoteEveryText = false;
    // An empty text is no field (values apart by blanks, not alone in their line).
    bool emptyIsNoField = false;
};

bool needsQuotes(std::string_view text, const Quoting& quoting);

// What keeps a name out of a data file: a double quote, which no format
// carries inside a name, or a character without a Windows-1252 byte.
enum class NameFault { None, DoubleQuote, NotInCp1252 };
NameFault nameFault(std::string_view name);

// The text as the format writes it: as it stands, or in double quotes.
std::string fieldText(std::string_view text, const Quoting& quoting);

// Record style: fields separated by single commas, texts in double quotes
// (no escape: a text with a double quote inside is written unquoted where it
// reads back so as a general value, else the quote as an apostrophe), numbers plain with '.' and no blanks
// (15 significant digits; the few largest doubles, whose 15 digits round beyond
// the double range, with the digits that read back exactly), an empty value as nothing.
// Each line ends with CR LF.
class RecordWriter {
public:
    RecordWriter& text(std::string_view value);
    RecordWriter& number(double value);
    RecordWriter& integer(long long value);
    RecordWriter& empty();
    RecordWriter& value(const FieldValue& value);
    RecordWriter& endLine();
    const std::string& str() const { return out_; }

private:
    void separate();
    std::string out_;
    bool lineStarted_ = false;
};

// Print style: texts as the format's quoting has them (unchanged without one); a number as one sign position
// (blank or '-'), its digits and one trailing blank; several values in one
// line each start at the next 14-column print zone (columns 1, 15, 29, ...),
// with at least one blank between two values. Each line ends with CR LF.
class PrintWriter {
public:
    PrintWriter& text(std::string_view value);
    PrintWriter& text(std::string_view value, const Quoting& quoting);
    PrintWriter& number(double value);
    PrintWriter& endLine();
    const std::string& str() const { return out_; }

private:
    void nextZone();
    std::string out_;
    std::size_t column_ = 0; // characters written in the current line
    bool lineStarted_ = false;
};

} // namespace krvx
