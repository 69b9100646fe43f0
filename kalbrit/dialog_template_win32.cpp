#include "kalbrit/dialog_template_win32.h"

const DLGTEMPLATE* DialogTemplateFor(HINSTANCE instance, int id, UiLanguage language) {
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const WORD wanted = language == UiLanguage::Japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT) : english;
    HRSRC found = FindResourceExW(instance, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(id), wanted);
    if (!found) found = FindResourceExW(instance, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), english);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}
