// When a save that failed is tried again, and when the user hears of it. A full disk, a
// read-only file or folder, or another program holding Clavora.ini must not lose a change
// until some later change asks for another save.
#pragma once

// The first retry comes after this pause; each further one waits twice as long, up to
// kSaveRetryMaxMs, so that room made on the disk is used within seconds.
constexpr unsigned kSaveRetryFirstMs = 1000;
constexpr unsigned kSaveRetryMaxMs = 10000;
// A save that fails this many times in a row is told: a lock held for a moment is not.
constexpr int kSaveFailuresTold = 2;

class CSaveRetry {
public:
    struct Next {
        unsigned delayMs = 0;
        // The user is to be told now that saves keep failing.
        bool tell = false;
    };
    // A save failed: when to try again.
    Next failed();
    // A save went through: true when the failures had been told, so that the user now
    // hears that all is saved again.
    bool succeeded();

private:
    int m_failures = 0;
    bool m_told = false;
};
