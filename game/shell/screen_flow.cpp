// The phase table (what each logic tick runs) and the screen table (what each frame draws).
#include "game/play/play.h"
#include "game/play/screen_effects.h"
#include "game/draw/game_screen_layers.h"
#include "game/state/globals.h"
#include "game/shell/main_routine.h"
#include "game/shell/menu_background.h"
#include "game/shell/menus.h"
#include "game/play/game_audio.h"
#include "game/shell/resources.h"
#include "game/shell/save_files.h"
#include "runtime/core/files.h"

namespace {
void BackgroundTick() {
    UpdateBubbles();
    FadeBrightness();
}

void StartIntroMusic() {
    if (skipIntroMusic != 1) {
        musicTrack = "intro";
        PlayMusic(musicTrack, musicVolume);
    }
    skipIntroMusic = 0;
}

void LeaveToMainMenu() {
    int mode = static_cast<int>(gameMode);
    if (gameMode != static_cast<float>(mode)) return;
    switch (mode) {
        case 0:
            phase = 0; screen = 1; fieldActive = 0; skipIntroMusic = 1;
            break;
        case 1: case 2: case 3: case 4:
            gameMode = 0; screen = 1; phase = 0; fieldActive = 0; skipIntroMusic = 0;
            SetCurrentDir(saveDir);
            SaveSettings();
            SetCurrentDir(mediaDir);
            break;
        case 5:
            speechVolume = tutorialSavedSpeechVolume;
            phase = 0; screen = 1; gameMode = 1; skipIntroMusic = 1;
            break;
        default:
            break;
    }
}

// The playing-field upkeep that runs under the overlays too.
void FieldUpkeep() {
    UpdatePopups();
    UpdateEffectPool();
    UpdateControlsAlpha();
}
}  // namespace

void PlayingTick() {
    BackgroundTick();
    InGameControls();
    BoardStep();
    AnimateCreatures();
    ScoreTick();
    CountScore();
    PaySwaps();
    SpeechTick();
    PowerTimerTick();
    ClockTick();
    BannerTick();
    NoticeTick();
    PlayAreaTick();
    FieldUpkeep();
    UpdateBonusSparkles();
}

void StartGameOfMode(float mode) {
    gameMode = mode;
    StartNewGame();
    if (mode == 5) {
        DealTutorialBoard();
    } else {
        DealBoard();
    }
    boardPhase = 1;
    StartEntrySweep();
    fieldActive = 1;
    brightnessTarget = -1;
}

void RunPhaseTick() {
    if (phase != static_cast<float>(static_cast<int>(phase))) return;
    switch (static_cast<int>(phase)) {
        case 0:
            BackgroundTick();
            ClearBoard();
            ResetMainMenu();
            phase = 1;
            StartIntroMusic();
            break;
        case 1: BackgroundTick(); MainMenuTick(); break;
        case 2: BackgroundTick(); GameModeTick(); break;
        case 3:
            BackgroundTick();
            StartGameOfMode(5);
            phase = 11;
            break;
        case 4: BackgroundTick(); OptionsTick(); break;
        case 5: BackgroundTick(); ResultsTick(); break;
        case 7: PlayingTick(); break;
        case 8:
            BackgroundTick();
            StartGameOfMode(gameMode);
            musicTrack = "space_jungle_bebop_cut";
            PlayMusic(musicTrack, musicVolume);
            phase = 7;
            break;
        case 9:
            BackgroundTick();
            OverlayTick();
            InGameControls();
            FieldUpkeep();
            break;
        case 10:
            BackgroundTick();
            FieldUpkeep();
            InGameControls();
            PauseMenuTick();
            break;
        case 11: PlayingTick(); break;
        case 12:
            fieldActive = 1;   // the playing field is live again after the menu over it
            PlayingTick();
            phase = 13;
            break;
        case 13:
            PlayingTick();
            if (gameMode == 5) TutorialSlideTick();
            break;
        case 14: LeaveToMainMenu(); break;
        // The water keeps moving under these two menus as under the others.
        case 15: BackgroundTick(); ChallengesTick(); break;
        case 16: BackgroundTick(); HighScoresTick(); break;
        case 99: quitRequested = 1; break;
        default: break;
    }
}

void DrawCurrentScreen() {
    int current = static_cast<int>(screen);
    if (screen != static_cast<float>(current)) current = -1;
    if (current != 0) splashFrames = 0;
    if (current == 0) {
        DrawBackgroundLayer();
        splashFrames += 1;
        if (splashFrames == 5) phase = 0;
        return;
    }
    if (current < 1 || current > 10) return;
    DrawBackgroundLayer();
    DrawBubbleLayer();
    switch (current) {
        case 1: DrawMainMenu(); break;
        case 2: DrawGameModeScreen(); break;
        case 3: DrawTutorialScreen(); break;
        case 4: DrawOptionsScreen(); break;
        case 5: DrawChallengesScreen(); break;
        case 6: DrawResultsScreen(); break;
        case 7: DrawGameScreen(); break;
        case 8: DrawOverlayScreen(); break;
        case 9: DrawPauseMenuScreen(); break;
        case 10: DrawHighScoreScreen(); break;
        default: break;
    }
}
