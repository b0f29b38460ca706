#pragma once

#include <QString>

// The wizard's answer to what would send its page on: the page file as
// written, or why there is none.
struct TPageAsWritten {
    QString file;    // absolute; empty when there is none
    QString reason;  // why there is none; empty when the user dropped it
};
