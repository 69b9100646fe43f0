#pragma once
// Kalbrit's dialog templates come in English and Japanese under one id.
#include <windows.h>

#include "kalbrit/kalbrit_texts.h"

// The template `id` in the language's resource, else the English one; null
// when neither exists.
const DLGTEMPLATE* DialogTemplateFor(HINSTANCE instance, int id, UiLanguage language);
