// Challenge tracking during play, and the ring of notices that announce completions and high scores.
#include "game/play/board_state.h"
#include "game/play/play.h"

namespace {
const float NOTICE_TICKS = 480;
}

// The challenges are counted by their own issue; until then play only keeps its notices.
void TrackLeveling() {}
void TrackSurvival() {}
void TrackCombo(float size) { (void)size; }
void TrackHoarding() {}
void TrackCommitment() {}

void PostNotice(float id) {
    int index = static_cast<int>(noticeIndex);
    if (noticeRing(index) == 0 && noticeTicks == 0) {
        noticeRing(index) = id;
        noticeTicks = NOTICE_TICKS;
        return;
    }
    int firstEmpty = -1;
    for (int n = 0; n < 10; ++n) {
        int slot = (index + n) % 10;
        if (noticeRing(slot) == id) return;
        if (noticeRing(slot) == 0 && firstEmpty < 0) firstEmpty = slot;
    }
    // With all ten slots holding other notices the new one is dropped.
    if (firstEmpty >= 0) noticeRing(firstEmpty) = id;
}

void NoticeTick() {
    if (runState <= 0 || noticeTicks <= 0) return;
    noticeTicks -= 1;
    if (noticeTicks > 0) return;
    int index = static_cast<int>(noticeIndex);
    noticeRing(index) = 0;
    index = index >= 9 ? 0 : index + 1;
    noticeIndex = static_cast<float>(index);
    if (noticeRing(index) != 0) noticeTicks = NOTICE_TICKS;
}
