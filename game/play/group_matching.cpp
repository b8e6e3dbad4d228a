// The group search: labels every connected run of like creatures in a fixed order, clears the
// groups of four or more and plays the match sound.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "runtime/audio/sound.h"

namespace {

const float SOUND_MATCH = 1;
const float SOUND_MATCH_AGAIN = 2;

void ResetGroupTables() {
    for (int i = 0; i < groupOfCell.ArraySize(0); ++i) groupOfCell(i) = 0;
    for (int g = 0; g < groupExtra.ArraySize(0); ++g) {
        groupExtra(g) = 0;
        groupSizes(g) = 0;
        for (int m = 0; m < groupMembers.ArraySize(1); ++m)
            for (int f = 0; f < 3; ++f) groupMembers(g, m, f) = 0;
    }
}

void AddMember(int group, int member, int cell) {
    groupMembers(group, member, 0) = static_cast<float>(cell);
    groupMembers(group, member, 1) = static_cast<float>(CellColumn(cell));
    groupMembers(group, member, 2) = static_cast<float>(CellRow(cell));
}

// Appends the unlabelled like neighbours of a cell (left, right, above, below) to the group.
void TakeNeighbours(int group, int cell) {
    float kind = CellAt(cell).kind;
    int column = CellColumn(cell);
    int row = CellRow(cell);
    int around[4] = {column > 0 ? cell - 1 : -1, column < 5 ? cell + 1 : -1, row > 0 ? cell - 6 : -1,
                     row < 5 ? cell + 6 : -1};
    for (int n : around) {
        if (n < 0 || groupOfCell(n) != 0 || CellAt(n).kind != kind) continue;
        groupExtra(group) += 1;
        groupOfCell(n) = static_cast<float>(group);
        AddMember(group, static_cast<int>(groupExtra(group)), n);
    }
}

int LabelGroups() {
    int groups = 0;
    for (int cell = 0; cell <= 35; ++cell) {
        if (groupOfCell(cell) != 0) continue;
        int group = groups + 1;
        TakeNeighbours(group, cell);
        if (groupExtra(group) == 0) continue;
        groupOfCell(cell) = static_cast<float>(group);
        AddMember(group, 0, cell);
        groups = group;
        for (int m = 1; m <= static_cast<int>(groupExtra(group)); ++m) {
            TakeNeighbours(group, static_cast<int>(groupMembers(group, m, 0)));
        }
    }
    return groups;
}

}  // namespace

bool CellIsCleared(int cell) {
    int group = static_cast<int>(groupOfCell(cell));
    return group > 0 && groupExtra(group) > 2;
}

void FindGroups() {
    boardPhase = 2;
    groupsCleared = 0;
    largestGroup = 0;
    ResetGroupTables();
    LabelGroups();

    bool seen[37] = {};
    for (int cell = 0; cell <= 35; ++cell) {
        if (!CellIsCleared(cell)) continue;
        int group = static_cast<int>(groupOfCell(cell));
        if (!seen[group]) {
            seen[group] = true;
            float size = groupExtra(group) + 1;
            groupSizes(static_cast<int>(groupsCleared)) = size;
            groupsCleared += 1;
            if (size > largestGroup) largestGroup = size;
        }
        HatchEggsAround(static_cast<float>(cell));
        Creature& c = CellAt(cell);
        c.state = 7;
        c.timer = -1;
        busyCount += 1;
        boardPhase = 1;
    }

    if (groupsCleared == 0 && levelBreak == 1) EndLevelBreak();
    if (boardPhase == 2) {
        largestGroup = 0;
        chainLength = 0;
        largestAwardPending = 0;
        return;
    }
    if (StillSounding(matchChannel)) {
        match2Channel = PlayEffectSound(SOUND_MATCH_AGAIN);
    } else {
        matchChannel = PlayEffectSound(SOUND_MATCH);
    }
}
