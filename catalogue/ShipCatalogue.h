#pragma once
// The program-wide ship catalogue: the entries of schiffe.dat in file order.
// Storage may hold one entry more than the count: the catalogue editor's
// pending new entry at index Schiffstypen_length.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Schiffstyp.h"
#include "common/textfile.h"

namespace krvx {

class Debugging;

class ShipCatalogue {
public:
    static constexpr std::int16_t kMaxEntries = 32767;

    explicit ShipCatalogue(Debugging& log) : log_(log) {}

    std::vector<Schiffstyp> Schiffstypen;
    std::int16_t Schiffstypen_length = 0;

    // Appends an entry at index Schiffstypen_length (storage shrinks or grows
    // to exactly count + 1 first), logging "Start: addSchiff" / "Ende: addSchiff".
    // At 32767 entries the entry is refused and the catalogue stays as it was:
    // returns false (the end line is then not written).
    bool addSchiff(const std::string& name, std::int32_t erz, std::int32_t alu, std::int32_t leg,
                   std::int32_t kri, std::int32_t ene, std::int32_t speed, std::int32_t prod);

    // The first entry (index 0 up) whose name equals the text exactly, or nullptr.
    const Schiffstyp* find(std::string_view name) const;

private:
    Debugging& log_;
};

// How the speed field is read: the start-up load reads it as a 16-bit number,
// the editor's reload as 32-bit like the amounts.
enum class SpeedWidth { Bits16, Bits32 };

// loadSchiffe: replaces the catalogue by the contents of the file, appending
// each readable record with addSchiff. A missing file leaves it empty.
void loadSchiffe(ShipCatalogue& catalogue, const std::filesystem::path& file, SpeedWidth speedWidth);

// The file content for entries 0 .. Schiffstypen_length, counting the pending
// entry when the storage holds it: four CR LF lines per entry.
std::string schiffeDatContent(const ShipCatalogue& catalogue);

// saveSchiffe's file step: writes schiffeDatContent atomically. On failure the
// file is unchanged and the error is returned for the message
// "Bitte im Korvax Forum melden:".
std::optional<FileError> saveSchiffe(const ShipCatalogue& catalogue, const std::filesystem::path& file);

} // namespace krvx
