// Challenge tracking during play (five kinds in three cumulative tiers), and the ring of notices
// that announce completions and new high scores.
#include <cmath>

#include "game/play/board_state.h"
#include "game/play/play.h"
#include "game/state/save_links.h"

namespace {

const float NOTICE_TICKS = 480;
const float SOUND_GOOD_STEP = 8;
const float TENTH_CHALLENGE_NOTICE = 119;

enum ChallengeKind { LEVELING = 0, SURVIVAL = 1, COMBOS = 2, HOARDING = 3, COMMITMENT = 4 };
// Notice of the SKILLED tier of each kind; MASTER and EXTREME follow it.
const float FIRST_NOTICE[5] = {77, 71, 74, 80, 83};

bool IsChallengeNotice(float id) { return id >= 71 && id <= 85; }

// The lowest incomplete tier; the tiers below it are complete. -1 when all three are.
int OpenTier(int kind) {
    for (int tier = 0; tier < 3; ++tier)
        if (challengeProgress(kind * 3 + tier) < 100) return tier;
    return -1;
}

void Complete(int kind, int tier) {
    challengeProgress(kind * 3 + tier) = 100;
    PostNotice(FIRST_NOTICE[kind] + static_cast<float>(tier));
    PlayEffectSound(SOUND_GOOD_STEP);
}

// Stores a truncated percentage when it is higher than the stored one. A computed 100 that is
// not a completion is kept at 99 where `cap` says so.
void Raise(int kind, int tier, float percent, bool capAt99) {
    float p = std::trunc(percent);
    if (p >= 100) p = capAt99 ? 99 : 100;
    if (p < 0) return;
    float& stored = challengeProgress(kind * 3 + tier);
    if (p > stored) stored = p;
}

// A count toward thresholds that add up tier by tier (SURVIVAL, COMMITMENT).
void TrackCumulative(int kind, float value, const float steps[3]) {
    int tier = OpenTier(kind);
    if (tier < 0) return;
    float before = 0;
    for (int t = 0; t < tier; ++t) before += steps[t];
    float step = steps[tier];
    if (step <= 0) return;
    if (value >= before + step) {
        Complete(kind, tier);
    } else if (value > before) {
        Raise(kind, tier, (value - before) / step * 100, true);
    }
}

}  // namespace

void TrackLeveling() {
    int tier = OpenTier(LEVELING);
    static const float TARGET[3] = {4, 8, 12};
    static const float LEVEL_LIMIT[3] = {5, 9, 14};  // looked at only up to just past the target
    if (tier < 0 || level >= LEVEL_LIMIT[tier]) return;
    float v = level;
    if (v >= TARGET[tier]) {
        Complete(LEVELING, tier);
    } else if (tier == 0 && v < 4) {
        Raise(LEVELING, 0, (v - 1) * 33.3f, false);
    } else if (tier > 0 && v > TARGET[tier - 1]) {
        Raise(LEVELING, tier, (v - TARGET[tier - 1]) * 25, false);
    }
}

void TrackSurvival() {
    const float steps[3] = {survivalStep1, survivalStep2, survivalStep3};
    TrackCumulative(SURVIVAL, playTicks, steps);
}

void TrackCommitment() {
    const float steps[3] = {commitmentStep1, commitmentStep2, commitmentStep3};
    TrackCumulative(COMMITMENT, creaturesConnectedTotal, steps);
}

void TrackCombo(float size) {
    int tier = OpenTier(COMBOS);
    if (tier < 0) return;
    float v = size > 13 ? 13 : size;
    if (tier == 0) {
        if (v >= 8) Complete(COMBOS, 0);
        else Raise(COMBOS, 0, (v - 4) * 25, false);
    } else if (tier == 1) {
        if (v >= 10) Complete(COMBOS, 1);
        else if (v > 8) Raise(COMBOS, 1, (v - 8) * 50, false);
    } else {
        if (v >= 13) Complete(COMBOS, 2);
        else if (v > 10) Raise(COMBOS, 2, (v - 10) * 33.333332f, false);
    }
}

void TrackHoarding() {
    int tier = OpenTier(HOARDING);
    if (tier < 0) return;
    float target = 20 * static_cast<float>(tier + 1);
    float v = swaps;
    if (v >= target + 1) return;
    if (v >= target) {
        Complete(HOARDING, tier);
    } else if (v > target - 20) {
        Raise(HOARDING, tier, (v - (target - 20)) * 5, false);
    }
}

void PostNotice(float id) {
    int index = static_cast<int>(noticeIndex);
    if (noticeRing(index) == 0 && noticeTicks == 0) {
        noticeRing(index) = id;
        noticeTicks = NOTICE_TICKS;
    } else {
        int firstEmpty = -1;
        bool pending = false;
        for (int n = 0; n < 10 && !pending; ++n) {
            int slot = (index + n) % 10;
            if (noticeRing(slot) == id) pending = true;
            else if (noticeRing(slot) == 0 && firstEmpty < 0) firstEmpty = slot;
        }
        // With all ten slots holding other notices the new one is dropped.
        if (!pending && firstEmpty >= 0) noticeRing(firstEmpty) = id;
    }
    // Only the fifteen challenge notices count completions; the tenth-challenge notice itself
    // must not, or posting it would post it again without end.
    if (!IsChallengeNotice(id)) return;
    if (challengesCompleted == 9) PostNotice(TENTH_CHALLENGE_NOTICE);
    challengesCompleted += 1;
    SaveSettingsFromPlay();
}

void NoticeTick() {
    if (runState <= 0 || noticeTicks <= 0) return;
    noticeTicks -= 1;
    if (noticeTicks == 40 * 11) StartBurst(GameRandom(2) + 64, 143, 369);
    if (noticeTicks > 0) return;
    int index = static_cast<int>(noticeIndex);
    noticeRing(index) = 0;
    index = index >= 9 ? 0 : index + 1;
    noticeIndex = static_cast<float>(index);
    if (noticeRing(index) != 0) noticeTicks = NOTICE_TICKS;
}
