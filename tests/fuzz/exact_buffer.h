// Fuzzed texts in heap blocks of exactly their size, so that AddressSanitizer catches a read
// of even one byte past the end (a std::string always has its terminator and often spare room).
#pragma once

#include <vector>

#include "support/text.h"

class ExactBuffer {
  public:
    explicit ExactBuffer(TextView text) : bytes_(text.begin(), text.end()) {}
    TextView view() const { return {bytes_.data(), bytes_.size()}; }

  private:
    std::vector<char> bytes_;
};
