// libFuzzer's entry point for one target, chosen at compile time.
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FUZZ_TARGET(data, size);
}
