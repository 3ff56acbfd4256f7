// The one place where an exception from a user action ends: the action stops and the
// application's error box shows the message. Nothing may unwind through a Qt signal or event.
#pragma once

#include <exception>
#include <utility>

#include <QObject>

#include "kromby/ui/dialogs.h"

namespace kui {

// Runs `action`; an exception ends it and is shown. Returns whether it ran to the end.
template <class F>
bool Guard(Dialogs& dialogs, QWidget* parent, F&& action) noexcept {
    const char* message = nullptr;
    std::string text;
    try {
        std::forward<F>(action)();
        return true;
    } catch (const std::exception& e) {
        try {
            text = e.what();
        } catch (...) {
            message = "内存不足";
        }
    } catch (...) {
        message = "未知错误";
    }
    try {
        dialogs.Error(parent, message ? std::string(message) : text);
    } catch (...) {
        // Showing the error failed too; there is nobody left to tell.
    }
    return false;
}

// Connects a user-facing signal to `handler` through the guard. The handler takes no arguments:
// the windows read their controls' state themselves, as code-driven paths do.
template <class Sender, class Signal, class F>
QMetaObject::Connection OnUser(Sender* sender, Signal signal, QWidget* context, Dialogs& dialogs,
                               F handler) {
    return QObject::connect(sender, signal, context,
                            [&dialogs, context, handler] { Guard(dialogs, context, handler); });
}

}  // namespace kui
