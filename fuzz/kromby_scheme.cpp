// Any bytes as a dye scheme and as a palette library; whatever parses must apply cleanly and
// survive a round trip.
#include <cstdint>
#include <cstdlib>

#include "kromby/scheme/pal_library.h"
#include "kromby/scheme/scheme_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const DyeSegmentList scheme = ParseScheme({data, size});
        TWasFile was;
        ApplyScheme(was, scheme);  // every accepted range is one DyeRange takes
        if (ParseScheme(SerializeScheme(scheme)) != scheme) std::abort();
    } catch (const KrombyError&) {
    }
    try {
        const PalLibraryList library = ParsePalLibrary({data, size});
        for (const PalLib& s : library) (void)s.FirstEntry();
    } catch (const KrombyError&) {
    }
    return 0;
}
