// Shows what the test build's clock reads: one line "YYYY-MM-DD HH:MM:SS" for each line read
// on standard input, so that a test can change the clock file between two readings.
#include <cstdio>
#include <iostream>
#include <string>

#include "support/date_time.h"

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        const DateTime now = currentTime();
        std::printf("%04d-%02d-%02d %02d:%02d:%02d\n", now.year, now.month, now.day, now.hour,
                    now.minute, now.second);
        std::fflush(stdout);
    }
    return 0;
}
