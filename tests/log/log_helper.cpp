// Another running copy of the program for the log tests; it inherits the test's hives.
//   log_helper write <tag> <count>    writes <count> visit records for pages named after <tag>
//   log_helper cleanup <yyyy-mm-dd>   prints "go", runs the log cleanup on that day, prints "done"
#include <cstdio>
#include <string>

#include "log/log_cleanup.h"
#include "log/log_writer.h"
#include "platform/clock.h"
#include "platform/date.h"

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "write" && argc == 4) {
        const tarn::SystemClock clock;
        const tarn::LogIdentity identity{"Group", "User"};
        const int count = std::stoi(argv[3]);
        for (int i = 0; i < count; ++i) {
            const std::string url = "http://example.org/" + std::string(argv[2]) + "/" +
                                    std::to_string(i) + "/" +
                                    std::string(static_cast<size_t>(i % 97), 'p');
            tarn::WriteUrlRecord(identity, url, " 0.25 sec", false, clock);
        }
        return 0;
    }
    if (command == "cleanup" && argc == 3) {
        const auto day = tarn::parseDate(argv[2]);
        if (!day) {
            return 2;
        }
        tarn::ManualClock clock;
        clock.setLocal(static_cast<int>(day->year()), static_cast<int>(unsigned(day->month())),
                       static_cast<int>(unsigned(day->day())));
        std::puts("go");
        std::fflush(stdout);
        tarn::CleanupLog(clock, [](const std::string&) {});
        std::puts("done");
        return 0;
    }
    std::fprintf(stderr, "usage: log_helper write <tag> <count> | cleanup <yyyy-mm-dd>\n");
    return 2;
}
