#pragma once

#include <functional>

// Shows the busy mouse pointer for its lifetime, on every path out of a scope.
// The data layer has no widgets: the user interface installs the functions that really
// change the pointer; without them the guard does nothing.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    static void installHooks(std::function<void()> show, std::function<void()> restore);
    static int depth(); // how many guards are alive, for tests
};
