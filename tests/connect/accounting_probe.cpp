// Counts one minute of use for ann of Kids on 10 December 2026, says so on its output and waits
// to be killed: what a killed program leaves in the record.
#include <unistd.h>

#include <cstdio>

#include "connect/accounting.h"

int main() {
    tarn::ManualClock clock;
    clock.setLocal(2026, 12, 10, 9, 30);
    tarn::Accounting accounting(clock);
    accounting.startUser("Kids", "ann", {.maxUsage = 30}, {clock.today(), 7});
    clock.advance(std::chrono::minutes(1));
    accounting.countMinute(true, false);
    std::puts("counted");
    std::fflush(stdout);
    while (true)
        pause();
}
