#include "common/fields.h"

#include <algorithm>
#include <cmath>

#include "common/blanks.h"
#include "common/cp1252.h"
#include "common/numbers.h"
#include "common/numberscan.h"

namespace krvx {

std::optional<double> fieldNumber(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return std::nullopt;
    if (text.size() >= 3 && text[0] == '&') {
        const int radix = (text[1] == 'H' || text[1] == 'h') ? 16 : (text[1] == 'O' || text[1] == 'o') ? 8 : 0;
        if (radix == 0) return std::nullopt;
        const detail::RadixScan scan = detail::scanRadix(text.substr(2), radix);
        // So many digits that the value lies beyond the double range: out of
        // range like a decimal one, never an infinity.
        if (scan.length != text.size() - 2 || !std::isfinite(scan.value)) return std::nullopt;
        return scan.value;
    }
    const detail::DecimalScan scan = detail::scanDecimal(text, "EeDd");
    if (scan.length == 0 || scan.length != text.size() || scan.overflow) return std::nullopt;
    return scan.value;
}

FieldReader::FieldReader(std::string content, QuoteInside inside) : content_(std::move(content)), inside_(inside) {}

bool FieldReader::atEnd() const {
    return pos_ >= content_.size();
}

void FieldReader::skipBlanks() {
    while (pos_ < content_.size() && isBlank(content_[pos_])) ++pos_;
}

// Blanks before a field skipped; false at the end of the file, which ends the line.
bool FieldReader::startField() {
    lastQuoted_ = false;
    skipBlanks();
    lineEnded_ = atEnd();
    return !lineEnded_;
}

// A comma or one line end (CR LF, LF or CR) after a field.
void FieldReader::consumeSeparator() {
    lineEnded_ = atEnd() || isLineEnd(content_[pos_]);
    if (atEnd() || !(lineEnded_ || content_[pos_] == ',')) return;
    const char c = content_[pos_++];
    if (c == '\r' && !atEnd() && content_[pos_] == '\n') ++pos_;
}

std::string FieldReader::takeQuoted(bool blankEnds) {
    lastQuoted_ = true;
    std::string text;
    ++pos_;
    for (;;) {
        const std::size_t close = std::min(content_.find('"', pos_), content_.size());
        text.append(content_, pos_, close - pos_);
        pos_ = std::min(close + 1, content_.size());
        if (inside_ != QuoteInside::Doubled || atEnd() || content_[pos_] != '"') break;
        text += '"'; // a doubled quote
        ++pos_;
    }
    while (pos_ < content_.size() && content_[pos_] != ',' && !isLineEnd(content_[pos_]) &&
           !(blankEnds && isBlank(content_[pos_])))
        ++pos_;
    if (blankEnds) skipBlanks();
    consumeSeparator();
    return text;
}

std::string FieldReader::takeToken() {
    const std::size_t start = pos_;
    while (pos_ < content_.size() && !isBlank(content_[pos_]) && content_[pos_] != ',' && !isLineEnd(content_[pos_]))
        ++pos_;
    std::string token = content_.substr(start, pos_ - start);
    skipBlanks();
    consumeSeparator();
    return token;
}

std::optional<std::string> FieldReader::readText(TrailingBlanks trailing) {
    if (!startField()) return std::nullopt;
    if (content_[pos_] == '"') return takeQuoted(false);
    const std::size_t start = pos_;
    while (pos_ < content_.size() && content_[pos_] != ',' && !isLineEnd(content_[pos_])) ++pos_;
    std::string_view field = std::string_view(content_).substr(start, pos_ - start);
    std::string text(trailing == TrailingBlanks::Keep ? field : trimmed(field));
    consumeSeparator();
    return text;
}

std::optional<std::string> FieldReader::readWord() {
    if (!startField()) return std::nullopt;
    if (content_[pos_] == '"') return takeQuoted(true);
    return takeToken();
}

std::optional<double> FieldReader::readNumber() {
    const std::optional<std::string> word = readWord();
    if (!word) return std::nullopt;
    return fieldNumber(*word);
}

std::optional<FieldValue> FieldReader::readValue() {
    if (!startField()) return std::nullopt;
    const char first = content_[pos_];
    if (first == '"') return FieldValue{takeQuoted(false)};
    if (first == ',' || isLineEnd(first)) {
        consumeSeparator();
        return FieldValue{};
    }
    // A number only when it fills the whole field up to the comma or line end;
    // anything else is a text that runs to them.
    const std::size_t start = pos_;
    std::size_t end = pos_;
    while (end < content_.size() && content_[end] != ',' && !isLineEnd(content_[end])) ++end;
    if (const std::optional<double> number = fieldNumber(std::string_view(content_).substr(start, end - start))) {
        pos_ = end;
        consumeSeparator();
        return FieldValue{*number};
    }
    return FieldValue{*readText()};
}

void FieldReader::readValues(std::span<FieldValue> holders) {
    for (FieldValue& holder : holders) {
        std::optional<FieldValue> field = readValue();
        if (!field) return;
        holder = std::move(*field);
    }
}

NameFault nameFault(std::string_view name) {
    if (name.find('"') != std::string_view::npos) return NameFault::DoubleQuote;
    return fitsCp1252(name) ? NameFault::None : NameFault::NotInCp1252;
}

bool needsQuotes(std::string_view text, const Quoting& quoting) {
    if (text.find('"') != std::string_view::npos ? quoting.inside == QuoteInside::Doubled : quoting.quoteEveryText)
        return true;
    if (text.empty() && quoting.emptyIsNoField) return true;
    FieldReader reader(std::string(text) + "\r\n", quoting.inside);
    return quoting.read(reader) != text || !reader.atEnd();
}

std::string fieldText(std::string_view text, const Quoting& quoting) {
    if (!needsQuotes(text, quoting)) return std::string(text);
    // A double quote that is not doubled would end the field early on reading
    // and shift every field after it: it is written as an apostrophe.
    std::string out = "\"";
    for (char c : text) {
        if (c != '"')
            out += c;
        else
            out += quoting.inside == QuoteInside::Doubled ? "\"\"" : "'";
    }
    return out + '"';
}

RecordWriter& RecordWriter::text(std::string_view value) {
    // A text is read back as a general value: a number or nothing would not be the text.
    static const Quoting record{.read = [](FieldReader& reader) -> std::optional<std::string> {
                                    const std::optional<FieldValue> field = reader.readValue();
                                    if (field && field->isText()) return std::get<std::string>(field->value);
                                    return std::nullopt;
                                },
                                .quoteEveryText = true};
    separate();
    out_ += fieldText(value, record);
    return *this;
}

RecordWriter& RecordWriter::number(double value) {
    separate();
    // The 15 digits of the largest doubles round beyond the double range and
    // would read back as no number at all; those few are written with the
    // digits that give the value back exactly.
    if (std::isfinite(value))
        out_ += (value < 0.0 ? "-" : "") + detail::readableMagnitude(value);
    else
        out_ += formatNumberPlain(value);
    return *this;
}

RecordWriter& RecordWriter::integer(long long value) {
    separate();
    out_ += std::to_string(value);
    return *this;
}

RecordWriter& RecordWriter::empty() {
    separate();
    return *this;
}

RecordWriter& RecordWriter::value(const FieldValue& value) {
    if (const auto* number = std::get_if<double>(&value.value)) return this->number(*number);
    if (const auto* text = std::get_if<std::string>(&value.value)) return this->text(*text);
    return empty();
}

RecordWriter& RecordWriter::endLine() {
    out_ += "\r\n";
    lineStarted_ = false;
    return *this;
}

void RecordWriter::separate() {
    if (lineStarted_) out_ += ',';
    lineStarted_ = true;
}

PrintWriter& PrintWriter::text(std::string_view value) {
    nextZone();
    out_ += value;
    column_ += characterCount(value);
    return *this;
}

PrintWriter& PrintWriter::text(std::string_view value, const Quoting& quoting) {
    return text(fieldText(value, quoting));
}

PrintWriter& PrintWriter::number(double value) {
    nextZone();
    const std::string digits = formatNumber(value) + " ";
    out_ += digits;
    column_ += digits.size();
    return *this;
}

PrintWriter& PrintWriter::endLine() {
    out_ += "\r\n";
    column_ = 0;
    lineStarted_ = false;
    return *this;
}

void PrintWriter::nextZone() {
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
