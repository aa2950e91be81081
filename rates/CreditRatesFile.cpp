#include "rates/CreditRatesFile.h"

#include <cerrno>

#include "common/fields.h"

namespace krvx {

CreditRateTexts creditRateTextsFromContent(const std::string& content, const RegionalSettings& regional) {
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

std::optional<CreditRateTexts> loadCreditRateTexts(const std::filesystem::path& file,
                                                   const RegionalSettings& regional, bool* unreadable) {
    const std::optional<std::string> content = readDataFile(file);
    if (unreadable) *unreadable = !content && errno != ENOENT;
    if (!content) return std::nullopt;
    return creditRateTextsFromContent(*content, regional);
}

std::string creditRatesContent(const CreditRateTexts& texts, const RegionalSettings& regional) {
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

std::optional<FileError> saveCreditRateTexts(const std::filesystem::path& file, const CreditRateTexts& texts,
                                             const RegionalSettings& regional, FileOps& ops) {
    return saveDataFile(file, creditRatesContent(texts, regional), ops);
}

} // namespace krvx
