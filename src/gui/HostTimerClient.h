#pragma once

// Receives the ticks of a host event loop's repeating timer.
class HostTimerClient {
public:
    virtual void OnTimerTick() = 0;

protected:
    ~HostTimerClient() = default;
};
