#include "store_text_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReadFilterBytes(data, size);
}
