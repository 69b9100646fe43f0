#pragma once
// Kalbrit's History view: the newest alerts Dovrel recorded, newest first.
#include <windows.h>

#include "kalbrit/kalbrit_texts.h"

// Runs the modal History dialog over owner; returns when it is closed.
void RunHistoryView(HWND owner, UiLanguage language);
