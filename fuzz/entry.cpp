// libFuzzer's entry point for one target, chosen when compiling:
// -DLUMARO_FUZZ_BODY=fuzz::DrawGlyphs
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return LUMARO_FUZZ_BODY(data, size);
}
