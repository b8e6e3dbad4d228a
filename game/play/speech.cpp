// The speech queue: spoken lines play one after another, never overlapping.
#include "game/play/board_state.h"
#include "game/play/play.h"
#include "runtime/audio/sound.h"

void QueueSpeech(float slot) {
    int end = static_cast<int>(speechQueueEnd);
    // A full queue drops the new line rather than run past its table.
    if (end + 1 >= speechQueue.ArraySize(0)) return;
    speechQueue(end) = slot;
    speechQueueEnd = static_cast<float>(end + 1);
    speechQueue(end + 1) = 255;
}

void SpeechTick() {
    if (speechQueueRead < speechQueueEnd && speechWait == 0) {
        int read = static_cast<int>(speechQueueRead);
        float slot = speechQueue(read);
        if (soundOn == 1) speechChannel = PlaySound(slot, 0, speechVolume);
        int length = static_cast<int>(slot);
        speechWait = length >= 0 && length < soundLengths.ArraySize(0) ? soundLengths(length) : 0;
        if (speechQueue(read + 1) == 255) {
            speechQueueRead = 0;
            speechQueueEnd = 0;
        } else {
            speechQueueRead += 1;
        }
    } else if (speechWait > 0) {
        speechWait -= 1;
    }
}
