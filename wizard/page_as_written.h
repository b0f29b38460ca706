#pragma once

#include <QString>

// What a finish wrote: the page file, absolute, and whether its link list
// changed with it; no file when it wrote none (the user kept a foreign file
// or took a copy back, or the save failed).
struct TFinishedPage {
    QString file;
    bool linksChanged = false;
};

// The wizard's answer to what would send its page on: the page file as
// written, or why there is none.
struct TPageAsWritten {
    QString file;    // absolute; empty when there is none
    QString reason;  // why there is none; empty when the user dropped it
};
