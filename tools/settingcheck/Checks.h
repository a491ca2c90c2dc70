// The families of checks, in the order the checker runs them: each reports into the context,
// and the later ones use what the earlier ones read (the files, the positions).
#pragma once

#include "CheckContext.h"

namespace settingcheck {

// Files and keys (KeyChecks.cpp): both INI files read, their syntax and encoding; keys that
// are missing or empty, sections and keys the module never reads.
void LoadFiles(Context& c);
void CheckKeys(Context& c);
// Positions (PositionChecks.cpp): what each value says, and the dialogs' layouts.
void CheckPositions(Context& c);
// The two period lists (ListChecks.cpp).
void CheckPeriodLists(Context& c);
// Placeholders, ampersands and the save-failure message's format sequences (TextChecks.cpp).
void CheckTexts(Context& c);
// Access keys used twice in a dialog, or swallowed by the settings dialog (AccessChecks.cpp).
void CheckAccessKeys(Context& c);
// Skin images: present, decodable, large enough for what is cut from them (ImageChecks.cpp).
void CheckSkinImages(Context& c);
// Texts likely too wide for their controls (TextFitChecks.cpp).
void CheckTextFit(Context& c);
// Texts drawn on the skin's images with too little contrast to them (ContrastChecks.cpp).
void CheckContrast(Context& c);

}  // namespace settingcheck
