// Phases of an opening, seen from outside the dialog: a hook on the thread notes when the
// dialog's WM_INITDIALOG returns, when it is told it is being shown, when its background is first
// erased and when the last message of painting returns (a paint, an erase, a control asking for its
// colours or its parent's background, an owner-drawn button): the sent messages every paint makes.
#pragma once

#include <windows.h>

namespace bench {

// Times of the clock (Clock.h), in milliseconds.
struct Phases {
    double start = 0, initialised = 0, shown = 0, firstErase = 0, lastPaint = 0;
};

// Notes the phases of the openings on the calling thread for as long as it lives.
class PhaseHook {
public:
    PhaseHook();
    ~PhaseHook();
    PhaseHook(const PhaseHook&) = delete;
    PhaseHook& operator=(const PhaseHook&) = delete;

    bool Active() const { return m_hook != nullptr; }

    // Forgets what was noted: an opening starts at `start`.
    static void Start(double start);
    static const Phases& Noted();

private:
    HHOOK m_hook;
};

}  // namespace bench
