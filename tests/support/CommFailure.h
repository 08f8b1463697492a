#pragma once

#include "link/ECommError.h"

#include <gtest/gtest.h>

#include <functional>

// The failure code an action throws; a test failure when it throws none.
inline CommFail failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ECommError& error) {
        return error.FailCode;
    }
    ADD_FAILURE() << "no ECommError thrown";
    return CommFail{};
}
