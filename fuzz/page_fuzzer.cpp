// One page driven by gestures (see page_driver.h); the page is chosen when the target is built
// (KEYWRIGHT_FUZZ_PAGE, the page's command-line name).
#include <cstddef>
#include <cstdint>

#include "page_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    page_driver::Drive(KEYWRIGHT_FUZZ_PAGE, data, size);
    return 0;
}
