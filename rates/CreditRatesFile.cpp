#include "rates/CreditRatesFile.h"

#include "common/fields.h"

namespace krvx {

CreditRateTexts parseCreditkurse(const std::string& content, const RegionalSettings& regional) {
    FieldReader reader(content);
    std::array<FieldValue, kRessourcen> holders{};
    CreditRateTexts texts;
    for (auto& record : texts) {
        reader.readValues(holders);
        for (std::size_t k = 0; k < holders.size(); ++k) {
            const FieldValue& holder = holders[k];
            if (holder.isNumber()) {
                record[k] = formatLocaleNumber(std::get<double>(holder.value), regional);
            } else if (holder.isText()) {
                record[k] = std::get<std::string>(holder.value);
            } else {
                record[k].clear();
            }
        }
    }
    return texts;
}

std::string creditkurseContent(const CreditRateTexts& texts, const RegionalSettings& regional) {
    std::array<std::optional<double>, kRessourcen> holders{};
    RecordWriter out;
    for (const auto& record : texts) {
        for (std::size_t k = 0; k < holders.size(); ++k) {
            const LocaleNumber number = parseLocaleNumber(record[k], regional);
            if (number.ok()) holders[k] = number.value; // otherwise the holder keeps its value
            if (holders[k]) {
                out.number(*holders[k]);
            } else {
                out.empty();
            }
        }
        out.endLine();
    }
    return out.str();
}

} // namespace krvx
