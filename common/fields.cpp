#include "common/fields.h"

#include <cmath>

#include "common/numbers.h"
#include "common/numberscan.h"

namespace krvx {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<double> fieldNumber(std::string_view text)
{
    text = trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    if (text.size() >= 3 && text[0] == '&') {
        const int radix = (text[1] == 'H' || text[1] == 'h') ? 16 : (text[1] == 'O' || text[1] == 'o') ? 8 : 0;
        if (radix == 0)
            return std::nullopt;
        const detail::RadixScan scan = detail::scanRadix(text.substr(2), radix);
        // So many digits that the value lies beyond the double range: out of
        // range like a decimal one, never an infinity.
        if (scan.length != text.size() - 2 || !std::isfinite(scan.value))
            return std::nullopt;
        return scan.value;
    }
    const detail::DecimalScan scan = detail::scanDecimal(text, "EeDd");
    if (scan.length == 0 || scan.length != text.size() || scan.overflow)
        return std::nullopt;
    return scan.value;
}

FieldReader::FieldReader(std::string content) : content_(std::move(content)) {}

bool FieldReader::atEnd() const
{
    return pos_ >= content_.size();
}

void FieldReader::skipBlanks()
{
    while (pos_ < content_.size() && isBlank(content_[pos_]))
        ++pos_;
}

bool FieldReader::consumeSeparator()
{
    if (pos_ >= content_.size())
        return false;
    const char c = content_[pos_];
    if (c == ',') {
        ++pos_;
        return true;
    }
    if (c == '\r') {
        ++pos_;
        if (pos_ < content_.size() && content_[pos_] == '\n')
            ++pos_;
        return true;
    }
    if (c == '\n') {
        ++pos_;
        return true;
    }
    return false;
}

std::string FieldReader::takeQuoted(bool blankEnds)
{
    lastQuoted_ = true;
    const std::size_t start = pos_ + 1;
    std::size_t close = content_.find('"', start);
    if (close == std::string::npos)
        close = content_.size();
    std::string text = content_.substr(start, close - start);
    pos_ = close < content_.size() ? close + 1 : close;
    while (pos_ < content_.size() && content_[pos_] != ',' && !isLineEnd(content_[pos_]) &&
           !(blankEnds && isBlank(content_[pos_])))
        ++pos_;
    if (blankEnds)
        skipBlanks();
    consumeSeparator();
    return text;
}

std::string FieldReader::takeToken()
{
    const std::size_t start = pos_;
    while (pos_ < content_.size() && !isBlank(content_[pos_]) && content_[pos_] != ',' &&
           !isLineEnd(content_[pos_]))
        ++pos_;
    std::string token = content_.substr(start, pos_ - start);
    skipBlanks();
    consumeSeparator();
    return token;
}

std::optional<std::string> FieldReader::readText(TrailingBlanks trailing)
{
    lastQuoted_ = false;
    skipBlanks();
    if (atEnd())
        return std::nullopt;
    if (content_[pos_] == '"')
        return takeQuoted(false);
    const std::size_t start = pos_;
    while (pos_ < content_.size() && content_[pos_] != ',' && !isLineEnd(content_[pos_]))
        ++pos_;
    std::string_view field = std::string_view(content_).substr(start, pos_ - start);
    std::string text(trailing == TrailingBlanks::Keep ? field : trimBlanks(field));
    consumeSeparator();
    return text;
}

std::optional<std::string> FieldReader::readWord()
{
    lastQuoted_ = false;
    skipBlanks();
    if (atEnd())
        return std::nullopt;
    if (content_[pos_] == '"')
        return takeQuoted(true);
    return takeToken();
}

std::optional<double> FieldReader::readNumber()
{
    const std::optional<std::string> word = readWord();
    if (!word)
        return std::nullopt;
    return fieldNumber(*word);
}

std::optional<FieldValue> FieldReader::readValue()
{
    lastQuoted_ = false;
    skipBlanks();
    if (atEnd())
        return std::nullopt;
    const char first = content_[pos_];
    if (first == '"')
        return FieldValue{takeQuoted(false)};
    if (first == ',' || isLineEnd(first)) {
        consumeSeparator();
        return FieldValue{};
    }
    // A number only when it fills the whole field up to the comma or line end;
    // anything else is a text that runs to them.
    const std::size_t start = pos_;
    std::size_t end = pos_;
    while (end < content_.size() && content_[end] != ',' && !isLineEnd(content_[end]))
        ++end;
    if (const std::optional<double> number = fieldNumber(std::string_view(content_).substr(start, end - start))) {
        pos_ = end;
        consumeSeparator();
        return FieldValue{*number};
    }
    return FieldValue{*readText()};
}

namespace {

// A text with a double quote in it cannot stand in quotes. Unquoted it reads
// back unchanged, both as a general value and as a text, when it does not
// begin with a blank or a quote, holds no comma or line end, does not end in
// a blank and is not a number.
bool readsBackUnquoted(std::string_view value)
{
    return !value.empty() && !isBlank(value.front()) && value.front() != '"' && !isBlank(value.back()) &&
           value.find_first_of(",\r\n") == std::string_view::npos && !fieldNumber(value);
}

} // namespace

RecordWriter& RecordWriter::text(std::string_view value)
{
    separate();
    if (value.find('"') != std::string_view::npos && readsBackUnquoted(value)) {
        out_ += value;
        return *this;
    }
    out_ += '"';
    // A double quote would end the field early on reading and shift every
    // field after it; where the text cannot stand unquoted it is written as
    // an apostrophe.
    for (char c : value)
        out_ += c == '"' ? '\'' : c;
    out_ += '"';
    return *this;
}

RecordWriter& RecordWriter::number(double value)
{
    separate();
    // The 15 digits of the largest doubles round beyond the double range and
    // would read back as no number at all; those few are written with the
    // digits that give the value back exactly.
    if (std::isfinite(value) && std::fabs(value) > detail::kLargest15Digits)
        out_ += detail::exactText(value);
    else
        out_ += formatNumberPlain(value);
    return *this;
}

RecordWriter& RecordWriter::integer(long long value)
{
    separate();
    out_ += std::to_string(value);
    return *this;
}

RecordWriter& RecordWriter::empty()
{
    separate();
    return *this;
}

RecordWriter& RecordWriter::value(const FieldValue& value)
{
    if (const auto* number = std::get_if<double>(&value.value))
        return this->number(*number);
    if (const auto* text = std::get_if<std::string>(&value.value))
        return this->text(*text);
    return empty();
}

RecordWriter& RecordWriter::endLine()
{
    out_ += "\r\n";
    lineStarted_ = false;
    return *this;
}

void RecordWriter::separate()
{
    if (lineStarted_)
        out_ += ',';
    lineStarted_ = true;
}

PrintWriter& PrintWriter::text(std::string_view value)
{
    nextZone();
    out_ += value;
    column_ += characterCount(value);
    return *this;
}

PrintWriter& PrintWriter::number(double value)
{
    nextZone();
    const std::string digits = formatNumber(value) + " ";
    out_ += digits;
    column_ += digits.size();
    return *this;
}

PrintWriter& PrintWriter::endLine()
{
    out_ += "\r\n";
    column_ = 0;
    lineStarted_ = false;
    return *this;
}

void PrintWriter::nextZone()
{
    constexpr std::size_t kZone = 14;
    if (lineStarted_) {
        // The next zone that leaves at least one blank after the value before.
        const std::size_t target = (column_ / kZone + 1) * kZone;
        out_.append(target - column_, ' ');
        column_ = target;
    }
    lineStarted_ = true;
}

} // namespace krvx
