#pragma once

#include <chrono>
#include <string>

namespace tarn {

// Every reading of the time of day goes through a clock so that tests can move it.
class Clock {
  public:
    using TimePoint = std::chrono::system_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;

    // Today's local date as "yyyy-mm-dd".
    std::string today() const;
};

class SystemClock final : public Clock {
  public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

class ManualClock final : public Clock {
  public:
    explicit ManualClock(TimePoint start = {}) : now_(start) {}

    TimePoint now() const override { return now_; }
    void set(TimePoint t) { now_ = t; }
    // Sets the clock to a local date and time.
    void setLocal(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
    void advance(std::chrono::system_clock::duration d) { now_ += d; }

  private:
    TimePoint now_;
};

}  // namespace tarn
