// The rating prompt's state "squibly.rat": three bytes, games played, rated, declines.
#include "game/shell/save_files.h"
#include "game/shell/save_reader.h"
#include "game/state/globals.h"
#include "runtime/core/files.h"

void LoadRatingState() {
    HandledFileErrors handled;
    // Without a record the prompt was never answered and no game counted.
    gamesPlayed = 0;
    hasRated = 0;
    rateDeclines = 0;
    KString path = SaveFilePath(ratingFile);
    long size = FileExists(path) && OpenFile(1, path, 1) ? ChannelSize(1) : 0;
    if (size > 2) {
        BoundedReader in(1, size);
        int played = 0, rated = 0, declines = 0;
        in.Byte(played);
        in.Byte(rated);
        in.Byte(declines);
        // Any count of games is possible; the two answers fall back to "never asked" one by one.
        gamesPlayed = played;
        hasRated = rated <= 1 ? rated : 0;
        rateDeclines = declines <= 2 ? declines : 0;
    }
    CloseFile(1);
}

void SaveRatingState() {
    HandledFileErrors handled;
    if (saveDir.Empty()) return;
    if (!OpenFileReplacing(3, SaveFilePath(ratingFile))) {
        ReportSaveFailure("the rating state", false);
        return;
    }
    // One byte holds the count: past 255 it stays at 255 rather than wrapping back to a
    // beginner's count that would ask for a rating all over again.
    WriteByte(3, gamesPlayed > 255 ? 255 : gamesPlayed < 0 ? 0 : gamesPlayed);
    WriteByte(3, hasRated);
    WriteByte(3, rateDeclines);
    if (!CommitFile(3)) ReportSaveFailure("the rating state", false);
}
