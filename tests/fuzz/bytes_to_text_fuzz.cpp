// bytesToText: the bytes before the first zero, from buffers of any size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "support/text.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes(data, data + size);

    const Text text = bytesToText(bytes);

    const void* zero = std::memchr(data, 0, size);
    const std::size_t expectedLength =
        zero == nullptr ? size
                        : static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data);
    fuzzCheck(text.size() == expectedLength, "the text ends at the first zero byte");
    fuzzCheck(size == 0 || std::memcmp(text.data(), data, text.size()) == 0,
              "the text is the buffer's first bytes");
    return 0;
}
