#pragma once

// The row most tables of the tests hold: a name for the failure message,
// what is done to the subject, and what must come of it.

#include <functional>

namespace testsupport {

template <typename TSubject, typename TExpected>
struct TStepsRow {
    const char* name;
    std::function<void(TSubject&)> steps;
    TExpected expected;
};

}  // namespace testsupport
