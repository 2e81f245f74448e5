#pragma once

#include <functional>

namespace tarn {

// The online-service client the window goes on line through when the group's provider is the
// online service; the window holds none until the client automation is set up.
class OnlineServiceClient {
  public:
    virtual ~OnlineServiceClient() = default;
    // Signs on; true when the connection is up. `cancelled` says whether Cancel was pressed.
    virtual bool signOn(const std::function<bool()>& cancelled) = 0;
    // Signs off; the connection is down afterwards whatever happened.
    virtual void signOff() = 0;
};

}  // namespace tarn
