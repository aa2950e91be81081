// The Windows-1252 decoding: every byte sequence decodes to UTF-8 that encodes
// back to exactly the same bytes, and every UTF-8 text that fits the code page
// survives the way there and back.

#include "Check.h"
#include "common/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krvx;
    const std::string bytes = fuzz::text(data, size);

    const std::string decoded = cp1252ToUtf8(bytes);
    FUZZ_CHECK(fitsCp1252(decoded), bytes);
    FUZZ_CHECK(utf8ToCp1252(decoded) == bytes, bytes);

    // The same bytes taken as a UTF-8 text of the program.
    const std::string encoded = utf8ToCp1252(bytes);
    if (fitsCp1252(bytes)) FUZZ_CHECK(cp1252ToUtf8(encoded) == bytes, bytes);
    FUZZ_CHECK(utf8ToCp1252(cp1252ToUtf8(encoded)) == encoded, bytes);
    return 0;
}
