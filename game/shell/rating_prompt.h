// The prompt over the game mode screen that asks the player to rate the game: first after the
// fifth finished game, a last time after the twentieth if the first was declined. Never while
// storeLink is empty.
#pragma once

enum class RatingPrompt { NONE, FIRST, LAST_CHANCE };

RatingPrompt RatingPromptDue();
// A tap while a prompt is due belongs to the prompt: YES OK and NO THANKS answer it, anything
// else is ignored. The game mode buttons never see it.
void RatingPromptTap();
void DrawRatingPrompt(RatingPrompt prompt);
