// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry: build with clang and -DLESSONS_FUZZ=ON, run build/tools/fuzz-numbertext.
#include <cstdio>
#include <cstdlib>

#include "numbertext_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure = numberfuzz::check(data, size);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
