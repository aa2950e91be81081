// The field reader in its four ways of reading (general values, texts with
// trailing blanks dropped or kept, print-style words and numbers): whatever it
// takes from a file, the record and print writers write so that the same
// reading gives the same data back.

#include <cmath>
#include <vector>

#include "Check.h"
#include "common/fields.h"
#include "common/numbers.h"

namespace {

using namespace krvx;

constexpr std::size_t kMaxFields = 4096;

std::string describe(const FieldValue& v) {
    if (v.isNumber()) return "number " + formatNumber(std::get<double>(v.value));
    if (v.isText()) return "text [" + std::get<std::string>(v.value) + "]";
    return "empty";
}

// The value as the record writer stores it: numbers with their 15 digits.
FieldValue stored(const FieldValue& v) {
    if (v.isNumber())
        return FieldValue{fieldNumber(RecordWriter().number(std::get<double>(v.value)).str()).value_or(std::nan(""))};
    return v;
}

void generalValues(const std::string& input) {
    std::vector<FieldValue> values;
    FieldReader reader(input);
    while (values.size() < kMaxFields) {
        std::optional<FieldValue> v = reader.readValue();
        if (!v) break;
        values.push_back(std::move(*v));
    }
    RecordWriter out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        out.value(values[i]);
        if (i % 5 == 4) out.endLine();
    }
    out.endLine();
    FieldReader back(out.str());
    for (const FieldValue& v : values) {
        const std::optional<FieldValue> again = back.readValue();
        FUZZ_CHECK(again.has_value(), out.str());
        FUZZ_CHECK(*again == stored(v), describe(v) + " came back as " + describe(*again) + " from " + out.str());
    }
}

void texts(const std::string& input, FieldReader::TrailingBlanks trailing) {
    std::vector<std::string> values;
    FieldReader reader(input);
    while (values.size() < kMaxFields) {
        std::optional<std::string> v = reader.readText(trailing);
        if (!v) break;
        values.push_back(std::move(*v));
    }
    RecordWriter out;
    for (const std::string& v : values) out.text(v).endLine();
    FieldReader back(out.str());
    for (const std::string& v : values) {
        const std::optional<std::string> again = back.readText(trailing);
        FUZZ_CHECK(again && *again == v, v + " from " + out.str());
    }
    FUZZ_CHECK(back.atEnd(), out.str());
}

// Keeping the trailing blanks reads the same fields, only with their blanks.
void keptBlanks(const std::string& input) {
    FieldReader dropping(input);
    FieldReader keeping(input);
    for (std::size_t n = 0; n < kMaxFields; ++n) {
        const std::optional<std::string> dropped = dropping.readText();
        std::optional<std::string> kept = keeping.readText(FieldReader::TrailingBlanks::Keep);
        FUZZ_CHECK(dropped.has_value() == kept.has_value(), input);
        if (!dropped) break;
        if (!keeping.lastFieldQuoted()) {
            while (!kept->empty() && (kept->back() == ' ' || kept->back() == '\t')) kept->pop_back();
        }
        FUZZ_CHECK(*kept == *dropped, input);
    }
}

void printNumbers(const std::string& input) {
    std::vector<double> numbers;
    FieldReader reader(input);
    while (numbers.size() < kMaxFields && !reader.atEnd()) {
        if (const std::optional<double> v = reader.readNumber()) {
            FUZZ_CHECK(std::isfinite(*v), input);
            numbers.push_back(*v);
        }
    }
    PrintWriter out;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        out.number(numbers[i]);
        if (i % 3 == 2) out.endLine();
    }
    out.endLine();
    FieldReader back(out.str());
    for (double v : numbers) {
        const std::optional<double> again = back.readNumber();
        FUZZ_CHECK(again && formatNumber(*again) == formatNumber(v), formatNumber(v) + " from " + out.str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = krvx::fuzz::text(data, size);
    generalValues(input);
    texts(input, FieldReader::TrailingBlanks::Drop);
    keptBlanks(input);
    printNumbers(input);
    return 0;
}
