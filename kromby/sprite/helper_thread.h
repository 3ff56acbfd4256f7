// One helper thread, shared by the whole program, that joins in work the calling thread is doing.
#pragma once

#include <functional>

// Runs `work` on the calling thread and, when the helper is free, on the helper at the same time;
// returns once every call of `work` that started has returned. The calls share the work among
// themselves (say, through an atomic counter of items), so the caller never waits for the helper
// to wake up: a helper that wakes after the work is done does nothing. `work` must not throw.
// Without a helper (it could not be started, or another caller has it) `work` simply runs here.
void RunWithHelper(const std::function<void()>& work);
